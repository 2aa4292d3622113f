#!/bin/sh
# Fails when a C or C++ file of the tree does not follow .clang-format, naming each file and
# the first place that differs. Debian 12's clang-format (14) is the one the format is set for.
set -eu
root=$1
cd "$root"
format=$(command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "check-format: clang-format-14 is not installed (tools/install-deps installs it)" >&2
    exit 1
fi
status=0
for f in $(git ls-files '*.c' '*.cpp' '*.h'); do
    if ! "$format" --dry-run --Werror "$f" 2>/tmp/check-format.$$; then
        head -n 3 /tmp/check-format.$$ >&2
        status=1
    fi
done
rm -f /tmp/check-format.$$
[ $status -eq 0 ] && echo "check-format: every file follows .clang-format"
exit $status
