#!/usr/bin/env bash
# Fails when a portable source (anything under src/ outside a win32/ folder)
# includes a Windows header.
set -u
root=$1
hits=$(find "$root/src" -type f \( -name '*.cpp' -o -name '*.h' \) -not -path '*/win32/*' -print0 |
       xargs -0 grep -nE '#\s*include\s*[<"](windows|winuser|winbase|windef|winioctl|setupapi|shellapi|gdiplus|wtsapi32|commctrl|dbt)\.h[>"]' 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Windows headers in portable code:"; echo "$hits"; exit 1
fi
echo "portable sources are free of Windows headers"
