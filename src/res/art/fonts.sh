# The artwork's fonts, taken from the Debian package that ships them (tools/install-deps
# installs it), so that no script names a path a machine may not have.
#   source fonts.sh; sans=$(liberation LiberationSans-Regular)
liberation() {
  local file
  file=$(dpkg-query -L fonts-liberation2 2>/dev/null | grep "/$1\.ttf$" | head -n 1 || true)
  if [[ -z $file || ! -f $file ]]; then
    echo "$(basename "$0"): no $1.ttf; install fonts-liberation2 (tools/install-deps)" >&2
    return 1
  fi
  echo "$file"
}
