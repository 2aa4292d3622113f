#!/usr/bin/env bash
# Fails when the folders of a source tree use each other in a circle. A folder (with its win32/
# and posix/ sides) uses another when one of its files includes a header of that folder, as
# "other/Header.h"; every library is one folder, so this is the graph the libraries link by,
# and it also sees header-only uses, which the link graph does not.
set -u
root=$1
edges=$(cd "$root" && for dir in */; do
          from=${dir%/}
          echo "$from $from"  # every folder appears, even one that uses nothing
          find "$from" -name '*.h' -o -name '*.cpp' | xargs -r sed -nE 's@^\s*#\s*include\s*"([^"/]+)/.*@\1@p' |
            sort -u | while read -r to; do
              [ -d "$to" ] && [ "$to" != "$from" ] && echo "$from $to"
            done
        done)
if ! order=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  echo "folders of $root that use each other in a circle:"; echo "$order"
  echo "what each uses:"; printf '%s\n' "$edges" | awk '$1 != $2'
  exit 1
fi
echo "the folders of $root use each other without a circle"
