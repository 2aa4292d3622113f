#!/usr/bin/env bash
# Fails when the modules of one folder use each other in a circle. A module is a header and
# its source of the same name; it uses another module of the folder when either of its files
# includes that module's header.
set -u
dir=$1
edges=$(cd "$dir" && for f in *.h *.cpp; do
          [ -e "$f" ] || continue
          from=${f%.*}
          echo "$from $from"  # every module appears, even one that uses nothing
          sed -nE 's/^\s*#\s*include\s*"([^"/]+)\.h".*/\1/p' "$f" | while read -r to; do
            [ -e "$to.h" ] && [ "$to" != "$from" ] && echo "$from $to"
          done
        done)
if ! order=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  echo "modules of $dir that use each other in a circle:"; echo "$order"; exit 1
fi
echo "the modules of $dir use each other without a circle"
