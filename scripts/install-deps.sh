#!/usr/bin/env bash
# Installs what Plumage needs to build and test on Debian 12, when missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # the sanitizer preset and the fuzzers
  clang libclang-rt-14-dev
  # libraries
  qt6-base-dev libgl-dev libcli11-dev libpng-dev libx11-dev libxtst-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the Windows cross-build, and real PE files for the icon reader tests
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  # independent readers the tests compare against
  attr imagemagick icoutils
  # the volumes a Windows machine reads: a real Samba server and its client, an NTFS
  # image mounted through ntfs-3g, FAT and exFAT images (exFAT through FUSE where the
  # kernel has no driver; mtools reads the FAT image back)
  samba smbclient ntfs-3g dosfstools exfatprogs exfat-fuse mtools
  # screenshots of the windows, and plumage driven on a real X server in the tests
  xvfb xauth x11-apps xdotool
  # Qt's own texts in French (the file dialog, the message box buttons)
  qt6-translations-l10n
  # the folder icon shown by Linux file managers (GIO metadata through gvfs's GIO
  # module and metadata service, tested under a private bus and read back with gio)
  libglib2.0-dev libglib2.0-bin gvfs gvfs-daemons dbus-daemon dbus-bin
  # checkers of the desktop entry and of Thunar's actions file
  desktop-file-utils libxml2-utils
  # packaging: the .deb, its checkers (lintian, AppStream, desktop entries), man pages and
  # bash completion as an installed system meets them
  dpkg-dev fakeroot lintian appstream man-db groff-base bash-completion gzip
  # the Windows build's tests run under Wine (32-bit programs need the i386 architecture),
  # with GoogleTest cross-built from its sources
  wine wine32:i386 googletest
  # the Windows installer (makensis), built on Linux
  nsis
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
