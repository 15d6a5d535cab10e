#!/bin/sh
# Runs a program under a fresh virtual display of 1280 x 1024.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
