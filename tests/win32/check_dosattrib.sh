#!/bin/sh
# Reads back from Linux what the Windows test wrote under Wine: each file of
# the manifest must carry Hidden and System in user.DOSATTRIB, as "0x" and
# hexadecimal, and Read-only as the absence of write permission: the forms
# the Linux build reads. (Wine stores no Archive bit.)
set -u
# The tools it starts get a home and XDG_* folders of their own, not the user's.
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home"
dir="$1"
[ -s "$dir/expected.txt" ] || { echo "no manifest in $dir"; exit 1; }
failures=0
while read -r name attributes; do
  path="$dir/$name"
  stored=$(getfattr --only-values -n user.DOSATTRIB "$path" 2>/dev/null || true)
  mode=$(stat -c %a "$path")
  echo "read $name: attributes $attributes, user.DOSATTRIB '$stored', mode $mode"
  # Hidden 2 and System 4 in the text form (nothing stored is no bits).
  case "$stored" in ""|0x[0-9a-f]*) ;; *) stored=bad ;; esac
  if [ "$stored" = bad ] || [ $((${stored:-0} & 6)) -ne $((attributes & 6)) ]; then
    echo "$name: user.DOSATTRIB is not the text form with the bits $((attributes & 6))"
    failures=$((failures + 1))
  fi
  # Read-only 1 on a file is no write bit at all, its absence the owner's.
  [ -d "$path" ] && continue
  if [ $((attributes & 1)) -ne 0 ]; then bad=$((0$mode & 0222)); else bad=$((~0$mode & 0200)); fi
  if [ "$bad" -ne 0 ]; then
    echo "$name: Read-only is $((attributes & 1)), yet the mode is $mode"
    failures=$((failures + 1))
  fi
done < "$dir/expected.txt"
exit $failures
