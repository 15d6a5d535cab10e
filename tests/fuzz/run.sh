#!/bin/sh
# Runs every fuzz target for SECONDS from the seed corpus in the repository
# (new finds go to BUILD/fuzz-corpus). Stops at the first target that fails.
# Paths are absolute: the targets work in a folder of their own.
#   run.sh BUILD SECONDS
set -e
build=$(cd "$1" && pwd)
seconds=$2
seeds=$(cd "$(dirname "$0")" && pwd)/corpus
for target in config messages map wobjects recording datafile worldc play; do
    found="$build/fuzz-corpus/$target"
    mkdir -p "$found" "$seeds/$target"
    echo "fuzz_$target: ${seconds}s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-" "$found" "$seeds/$target" \
        2>"$build/fuzz-$target.log" || { tail -40 "$build/fuzz-$target.log"; exit 1; }
    grep -E "stat::number_of_executed_units" "$build/fuzz-$target.log" || true
done
