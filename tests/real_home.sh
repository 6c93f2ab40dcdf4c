#!/bin/sh
# The real home around a test run: no test may make or change a file there.
#
#   real_home.sh record LISTING BUILD   before the first test: a listing of $HOME
#   real_home.sh check LISTING BUILD    after the last: fails naming every
#                                       path made, changed or removed meanwhile
#
# The listing holds each path's type, size and modification time, level by
# level from the top, up to the deepest level that keeps it under
# $PLUMAGE_REAL_HOME_ENTRIES entries (5000): a home full of toolchains is
# not walked whole. Below that level a changed folder is searched for what
# is newer than the listing, so that even a deep new file is named.
# Left out: ~/.cache/ccache (the build's compiler cache), the build folder
# BUILD where it lies in the home (the tests write there), and the paths,
# relative to $HOME, in $PLUMAGE_REAL_HOME_IGNORE (separated by ':'), for
# what other programs of the machine write meanwhile.
set -eu
mode=$1
listing=$2
build=$(cd "$3" && pwd -P)
home=$(cd "${HOME:?}" && pwd -P)
limit=${PLUMAGE_REAL_HOME_ENTRIES:-5000}

# find's arguments that leave out the ignored paths.
# Each path goes with what lies below it: find tests no entry above -mindepth.
set -- -path "$home/.cache/ccache" -o -path "$home/.cache/ccache/*" -o -path "$build" -o -path "$build/*"
old_ifs=$IFS
IFS=:
for path in ${PLUMAGE_REAL_HOME_IGNORE:-}; do
  [ -n "$path" ] && set -- "$@" -o -path "$home/${path%/}" -o -path "$home/${path%/}/*"
done
IFS=$old_ifs

# The listing down to `depth` levels, or as deep as the limit allows.
list() {
  want=$1
  shift
  total=0
  depth=0
  : >"$listing.part"
  while [ "$want" = any ] || [ "$depth" -lt "$want" ]; do
    next=$((depth + 1))
    find "$home" -xdev -mindepth "$next" -maxdepth "$next" \( "$@" \) -prune -o \
      -printf '%P\t%y %s %T@\n' 2>/dev/null | LC_ALL=C sort >"$listing.level"
    count=$(wc -l <"$listing.level")
    [ "$count" -gt 0 ] || break
    if [ "$want" = any ] && [ $((total + count)) -gt "$limit" ]; then break; fi
    cat "$listing.level" >>"$listing.part"
    total=$((total + count))
    depth=$next
  done
  rm -f "$listing.level"
}

case $mode in
record)
  list any "$@"
  { echo "depth $depth"; cat "$listing.part"; } >"$listing"
  rm -f "$listing.part"
  echo "the real home $home: $total entries, $depth levels deep, listed in $listing"
  ;;
check)
  [ -f "$listing" ] || { echo "no listing $listing: the record step did not run"; exit 1; }
  depth=$(sed -n '1s/^depth //p' "$listing")
  list "$depth" "$@"
  report=$(sed 1d "$listing" | LC_ALL=C awk -F '\t' -v depth="$depth" '
    NR == FNR { before[$1] = $2; next }
    !($1 in before) { print "made:    ~/" $1; next }
    before[$1] != $2 { print "changed: ~/" $1; if ($2 ~ /^d/ && split($1, parts, "/") == depth) print "deep\t" $1 }
    { delete before[$1] }
    END { for (p in before) print "removed: ~/" p }
  ' - "$listing.part")
  rm -f "$listing.part"
  # Below the listed levels: what is newer than the listing in a changed folder.
  deep=$(printf '%s\n' "$report" | sed -n 's/^deep\t//p')
  report=$(printf '%s\n' "$report" | grep -v '^deep	' || true)
  if [ -n "$deep" ]; then
    newer=$(printf '%s\n' "$deep" | while IFS= read -r dir; do
      find "$home/$dir" -xdev -mindepth 1 \( "$@" \) -prune -o \( -newer "$listing" -o -cnewer "$listing" \) \
        -printf 'newer:   ~/%P\n' 2>/dev/null | sed "s|~/|~/$dir/|"
    done)
    [ -z "$newer" ] || report=$(printf '%s\n%s\n' "$report" "$newer")
  fi
  report=$(printf '%s\n' "$report" | sed '/^$/d' | LC_ALL=C sort -k2)
  if [ -n "$report" ]; then
    echo "the tests wrote into the real home $home:"
    printf '%s\n' "$report"
    exit 1
  fi
  echo "the real home $home is as the tests found it ($depth levels checked)"
  ;;
*)
  echo "usage: real_home.sh record|check LISTING BUILD" >&2
  exit 2
  ;;
esac
