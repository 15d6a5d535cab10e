#!/bin/sh
# The read-me's pictures in docs/ are what `make docs` draws from today's
# content, and small enough to keep in the repository.
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
MOST_BYTES=3145728
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sh "$root/scripts/make-docs.sh" "$build" "$scratch" || exit 1
stale=""
for picture in "$scratch"/*; do
    name=${picture##*/}
    cmp -s "$picture" "$root/docs/$name" || stale="$stale $name"
done
if [ -n "$stale" ]; then
    echo "docs/ is out of date ($stale ): run make docs and commit docs/" >&2
    exit 1
fi
bytes=$(du -sb "$root/docs" | cut -f1)
if [ "$bytes" -gt $MOST_BYTES ]; then
    echo "docs/ holds $bytes bytes, more than $MOST_BYTES" >&2
    exit 1
fi
