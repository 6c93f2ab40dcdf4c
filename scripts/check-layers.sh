#!/usr/bin/env bash
# Keeps the layers: every #include "..." of a file under src/ must name a
# folder its layer may use. Lower layers never include higher ones.
set -euo pipefail
cd "$(dirname "$0")/../src"
program='app|settings|folder|picker|iconmaker|image|shellcache|dialogs'
allowed() {  # the include prefixes a file in folder $1 may use
  case $1 in
    base/*) echo 'base' ;;
    formats/*) echo 'base|formats' ;;
    platform/portable/*) echo 'base|formats|platform/[a-z_]+\.h|platform/portable' ;;
    platform/posix/*) echo 'base|formats|platform/[a-z_]+\.h|platform/portable|platform/posix' ;;
    platform/win32/*) echo 'base|formats|platform/[a-z_]+\.h|platform/portable|platform/win32' ;;
    platform/*) echo 'base|formats|platform/[a-z_]+\.h' ;;
    app/*) echo 'base|formats|platform/[a-z_]+\.h|app' ;;
    ui/*|cli/*) echo '.*' ;;
    *) echo "base|formats|platform/[a-z_]+\\.h|$program" ;;
  esac
}
bad=0
while IFS= read -r file; do
  ok=$(allowed "$file")
  while IFS= read -r inc; do
    [ -z "$inc" ] && continue
    # Includes that name no folder are the folder's own files or generated ones.
    case $inc in */*) ;; *) continue ;; esac
    if ! [[ $inc =~ ^($ok)(/|$) || $inc =~ ^($ok)$ ]]; then
      echo "$file includes \"$inc\": not a layer it may use"
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
[ $bad -eq 0 ] && echo "layers kept"
exit $bad
