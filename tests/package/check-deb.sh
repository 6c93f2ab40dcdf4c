#!/usr/bin/env bash
# The .deb as Debian's own tools and an installed system meet it: CPack
# builds it, lintian finds no error or warning, the AppStream metainfo
# validates, and in a throw-away root (dpkg -x) man renders both pages,
# bash with bash-completion completes plumagectl's commands, and the Dolphin
# and Nemo entries for every user are there and well formed (what plumagectl
# install does beside them is the transcript menus_with_package.t).
#
# Usage: check-deb.sh BUILD_DIR
# Writes only under its own temporary folder; every program it starts has
# its own HOME and XDG_* folders there.
set -euo pipefail
build=$(cd "$1" && pwd)

work=$(mktemp -d)
# CPack's install step leaves the list of what it installed in the build
# folder (cmake_install.cmake names that place); it is put back as it was.
manifest=$build/install_manifest.txt
had_manifest=false
if [ -f "$manifest" ]; then
  had_manifest=true
  cp -p "$manifest" "$work/install_manifest.txt"
fi
cleanup() {
  if $had_manifest; then cp -p "$work/install_manifest.txt" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
# lintian and the others keep their temporary files here too.
export TMPDIR=$work/tmp
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_STATE_HOME=$HOME/.local/state
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_DIRS=$work/etc/xdg XDG_DATA_DIRS=$root/usr/share
export PLUMAGE_HOME=$work/program/ PLUMAGE_CONFIG=$work/config LC_ALL=C.UTF-8
unset MANPATH MANPAGER PAGER MAN_KEEP_FORMATTING BASH_COMPLETION_USER_DIR
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

echo "== cpack"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/cpack/*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: cpack made no .deb"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KB"
dpkg-deb -f "$deb" Package Version Maintainer Depends

echo "== lintian"
# Errors and warnings fail; the tags left on purpose are overridden in the
# package itself (usr/share/lintian/overrides/plumage), each with its reason.
# Debian's own profile, named: lintian otherwise asks dpkg for the vendor of
# the running system, which a machine without /etc/dpkg/origins/default
# cannot tell.
if DEB_VENDOR=Debian lintian --profile debian --fail-on error,warning --display-info \
  --show-overrides --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
  pass "lintian: no error, no warning"
else
  fail "lintian"
fi
cat "$work/lintian.log"

dpkg -x "$deb" "$root"

echo "== AppStream"
metainfo=$root/usr/share/metainfo/org.plumage_project.Plumage.metainfo.xml
if appstreamcli validate --no-net "$metainfo"; then pass "appstreamcli validate"; else fail "appstreamcli validate"; fi
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q "<launchable type=\"desktop-id\">plumage.desktop</launchable>" "$metainfo" &&
  [ -f "$root/usr/share/applications/plumage.desktop" ] || fail "the metainfo's desktop id is not in the package"

echo "== changelog and copyright"
zcat "$root/usr/share/doc/plumage/changelog.gz" >"$work/changelog" || true
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>/dev/null || true)
[ "$changelog_version" = "$version" ] || fail "the changelog's latest entry is $changelog_version, the package $version"
grep -qs "^License: Expat" "$root/usr/share/doc/plumage/copyright" || fail "copyright names no licence"

echo "== man"
for page in plumage plumagectl; do
  file=$root/usr/share/man/man1/$page.1.gz
  gzip -t "$file" 2>/dev/null || fail "$page.1.gz is not there, or no gzip file"
  # By name, as a user types it, with groff's warnings on.
  if MANPATH=$root/usr/share/man MANWIDTH=100 man --warnings "$page" >"$work/$page.txt" 2>"$work/$page.err" &&
    [ ! -s "$work/$page.err" ] && grep -q "^NAME" "$work/$page.txt" &&
    grep -q "^ *$page - " "$work/$page.txt"; then
    pass "man $page renders ($(wc -l <"$work/$page.txt") lines)"
  else
    fail "man $page"
    cat "$work/$page.err"
  fi
done
for section in SYNOPSIS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "COMMAND DETAILS"; do
  grep -q "^$section\$" "$work/plumagectl.txt" || fail "plumagectl(1) has no $section"
done

echo "== bash completion"
# The loader of bash-completion finds a command's completion beside the
# command (../share/bash-completion/completions), as it finds /usr/bin's in
# /usr/share; then each case is one press of Tab.
complete_words() {
  PATH=$root/usr/bin:$PATH bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    cd "$1"; shift
    _completion_loader plumagectl
    function=$(complete -p plumagectl | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$function" plumagectl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' bash "$@"
}
mkdir -p "$work/tab/Music" "$work/tab/Mine"
touch "$work/tab/Mind.ico"
check_completion() {
  local expected=$1
  shift
  local got
  got=$(complete_words "$work/tab" "$@")
  if [ "$got" = "$expected" ]; then pass "plumagectl ${*:2}<Tab>: $got"; else fail "plumagectl ${*:2}<Tab>: '$got', expected '$expected'"; fi
}
check_completion "set settings " plumagectl se
check_completion "en fr " plumagectl settings --language ""
check_completion "--dry-run --force --help --no-copy -h " plumagectl set -
check_completion "Mind.ico Mine Music " plumagectl icons M
check_completion "Mine Music " plumagectl set M

echo "== Dolphin and Nemo, for every user"
dolphin=$root/usr/share/kio/servicemenus/plumage-folder-verb.desktop
nemo=$root/usr/share/nemo/actions/plumage-folder-verb.nemo_action
# desktop-file-validate knows desktop entries only: a KDE service menu has
# MimeType and Actions in a Service entry, and a Nemo action is its own
# format. Those findings come with the formats; any other one fails.
validate() {
  local file=$1 allowed=$2 out
  out=$(desktop-file-validate "$file" 2>&1 || true)
  local rest
  rest=$(printf '%s\n' "$out" | grep -v -E "$allowed" | grep -v '^$' || true)
  if [ -z "$rest" ]; then pass "desktop-file-validate $(basename "$file")"; else
    fail "desktop-file-validate $(basename "$file"):"
    printf '%s\n' "$rest"
  fi
}
for f in "$dolphin" "$nemo"; do [ -f "$f" ] || fail "$f is not in the package"; done
validate "$dolphin" 'key "(MimeType|Actions)" is present in group "Desktop Entry", but the type is "Service" while this key is only valid for type "Application"'
validate "$nemo" 'first group is not "Desktop Entry"|file contains group "Nemo Action", but groups extending the format should start with "X-"|filename does not have a .desktop extension'

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "the package: every check passed"
