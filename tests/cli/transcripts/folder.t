# plumagectl show, set, reset and doctor on a folder, as a script runs them.

$ /usr/bin/mkdir "$DIR/My Games"
? 0

# The path as chosen (--no-copy) of an icon still to come (--force): the
# descriptor written, Hidden and System, the folder System. The Linux file
# managers have no such icon to show: a warning.
$ plumagectl set --no-copy --force "$DIR/My Games" /icons/game.ico 2
Wrote /icons/game.ico,2 to $DIR/My Games/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/My Games: /icons/game.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/My Games/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=/icons/game.ico\r (esc)
IconIndex=2\r (esc)
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/My Games"
# file: $DIR/My Games
user.DOSATTRIB="0x4"

# file: $DIR/My Games/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
$ plumagectl show "$DIR/My Games"
Folder: $DIR/My Games
Icon file: /icons/game.ico
Index: 2
Source: $DIR/My Games/DESKTOP.INI
Set and reset write: $DIR/My Games/DESKTOP.INI
Folder attributes: System
$DIR/My Games/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0

# Reset empties the keys and takes the folder's System attribute away.
$ plumagectl reset "$DIR/My Games"
Removed the icon of $DIR/My Games ($DIR/My Games/DESKTOP.INI)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/My Games/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=\r (esc)
IconIndex=\r (esc)
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/My Games"
# file: $DIR/My Games/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0

# A dry run says what it would write and changes nothing.
$ write "$DIR/Dry/DESKTOP.INI" "[Other]\r\nx=1\r\n"
? 0
$ plumagectl set --no-copy --dry-run --force "$DIR/Dry" /icons/game.ico
Dry run: nothing was changed. The write would:
  set the attributes of $DIR/Dry/DESKTOP.INI to 2 (Hidden)
  set [.ShellClassInfo] IconFile=/icons/game.ico in $DIR/Dry/DESKTOP.INI
  set [.ShellClassInfo] IconIndex=0 in $DIR/Dry/DESKTOP.INI
  set the attributes of $DIR/Dry/DESKTOP.INI to 6 (Hidden, System)
  set the attributes of $DIR/Dry to 4 (System)
$DIR/Dry/DESKTOP.INI would read:
[Other]\r (esc)
x=1\r (esc)
[.ShellClassInfo]\r (esc)
IconFile=/icons/game.ico\r (esc)
IconIndex=0\r (esc)
? 0
$ /usr/bin/cat "$DIR/Dry/DESKTOP.INI"
[Other]\r (esc)
x=1\r (esc)
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/Dry"
? 0
$ plumagectl reset --dry-run "$DIR/My Games"
Dry run: nothing was changed. The write would:
  set the attributes of $DIR/My Games/DESKTOP.INI to 2 (Hidden)
  set [.ShellClassInfo] IconFile= in $DIR/My Games/DESKTOP.INI (already so)
  set [.ShellClassInfo] IconIndex= in $DIR/My Games/DESKTOP.INI (already so)
  set the attributes of $DIR/My Games/DESKTOP.INI to 6 (Hidden, System)
? 0

# Failures: one line on standard error, status 1 (2 for a wrong command
# line), nothing made.
$ /usr/bin/mkdir "$DIR/Empty"
? 0
$ plumagectl set "$DIR/none" /icons/game.ico
! plumagectl: Invalid folder! cannot read the attributes of $DIR/none: No such file or directory
? 1
$ plumagectl reset //server/share
! plumagectl: Error! You cannot modify a folder located on a network. This can be done from the server, using Plumage Professionnal version.
? 1
$ plumagectl set "$DIR/Empty" /icons/game.ico two
! plumagectl: the index must be a whole number, not "two"
? 1
$ plumagectl show "$DIR/missing"
! plumagectl: Invalid folder! cannot read the attributes of $DIR/missing: No such file or directory
? 1
$ plumagectl set --no-copy "$DIR/Empty" "$DIR/none.ico" 0
! plumagectl: the icon file $DIR/none.ico does not exist; nothing was changed (--force writes it all the same)
? 1
$ plumagectl set --no-copy "$DIR/Empty" "$DIR" 0
! plumagectl: the icon file $DIR is not a regular file; nothing was changed (--force writes it all the same)
? 1
$ plumagectl set --no-copy "$DIR/Empty"
! plumagectl: ICONFILE is required (see plumagectl --help)
? 2
$ plumagectl show /aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa
! plumagectl: Invalid folder! the folder's path is too long for the system (5001 bytes)
? 1
$ /usr/bin/ls -A "$DIR" "$DIR/Empty"
$DIR:
Dry
Empty
My Games
home
run

$DIR/Empty:
? 0

# Text that Windows-1252 lacks (Greek, CJK and an emoji beyond the BMP, in
# the folder's name and the icon's path) makes the file UTF-16LE with its
# byte-order mark, as Windows writes it; show reads it back.
$ /usr/bin/mkdir "$DIR/Μουσική 音楽 😀"
? 0
$ plumagectl set --force "$DIR/Μουσική 音楽 😀" /icons/Μουσική/音楽/😀.ico 2
Wrote /icons/Μουσική/音楽/😀.ico,2 to $DIR/Μουσική 音楽 😀/DESKTOP.INI; the warnings say what was not stored
! plumagectl: warning: the Linux file managers show no icon for $DIR/Μουσική 音楽 😀: /icons/Μουσική/音楽/😀.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot keep the icon inside the folder: /icons/Μουσική/音楽/😀.ico: it does not exist; DESKTOP.INI names the icon file by its path
? 3
$ /usr/bin/od -An -c -N4 "$DIR/Μουσική 音楽 😀/DESKTOP.INI"
 377 376   [  \0
? 0
$ /usr/bin/iconv -f UTF-16 -t UTF-8 "$DIR/Μουσική 音楽 😀/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=/icons/Μουσική/音楽/😀.ico\r (esc)
IconIndex=2\r (esc)
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/Μουσική 音楽 😀"
# file: $DIR/Μουσική 音楽 😀
user.DOSATTRIB="0x4"

# file: $DIR/Μουσική 音楽 😀/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
$ plumagectl show "$DIR/Μουσική 音楽 😀"
Folder: $DIR/Μουσική 音楽 😀
Icon file: /icons/Μουσική/音楽/😀.ico
Index: 2
Source: $DIR/Μουσική 音楽 😀/DESKTOP.INI
Set and reset write: $DIR/Μουσική 音楽 😀/DESKTOP.INI
Folder attributes: System
$DIR/Μουσική 音楽 😀/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0

# Plain ASCII keeps a UTF-16 file UTF-16.
$ plumagectl set --force "$DIR/Μουσική 音楽 😀" /icons/game.ico 1
Wrote /icons/game.ico,1 to $DIR/Μουσική 音楽 😀/DESKTOP.INI; the warnings say what was not stored
! plumagectl: warning: the Linux file managers show no icon for $DIR/Μουσική 音楽 😀: /icons/game.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot keep the icon inside the folder: /icons/game.ico: it does not exist; DESKTOP.INI names the icon file by its path
? 3
$ /usr/bin/od -An -c -N4 "$DIR/Μουσική 音楽 😀/DESKTOP.INI"
 377 376   [  \0
? 0
$ /usr/bin/iconv -f UTF-16 -t UTF-8 "$DIR/Μουσική 音楽 😀/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=/icons/game.ico\r (esc)
IconIndex=1\r (esc)
? 0

# A Windows-1252 descriptor stays so while the text fits (ô is one byte)...
$ write "$DIR/Latin/DESKTOP.INI" "[.ShellClassInfo]\r\nInfoTip=caf\xe9\r\nIconFile=old.ico\r\n"
? 0
$ plumagectl set --no-copy --force "$DIR/Latin" /icônes/a.ico
Wrote /icônes/a.ico,0 to $DIR/Latin/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/Latin: /icônes/a.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/Latin/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
InfoTip=caf\xe9\r (esc)
IconFile=/ic\xf4nes/a.ico\r (esc)
IconIndex=0\r (esc)
? 0

# ... a dry run tells the change of encoding and shows the text ...
$ plumagectl set --no-copy --dry-run --force "$DIR/Latin" /icons/Μουσική/音楽/😀.ico
Dry run: nothing was changed. The write would:
  set the attributes of $DIR/Latin/DESKTOP.INI to 2 (Hidden)
  set [.ShellClassInfo] IconFile=/icons/Μουσική/音楽/😀.ico in $DIR/Latin/DESKTOP.INI
  set [.ShellClassInfo] IconIndex=0 in $DIR/Latin/DESKTOP.INI (already so)
  set the attributes of $DIR/Latin/DESKTOP.INI to 6 (Hidden, System)
$DIR/Latin/DESKTOP.INI would read (UTF-16LE):
[.ShellClassInfo]\r (esc)
InfoTip=café\r (esc)
IconFile=/icons/Μουσική/音楽/😀.ico\r (esc)
IconIndex=0\r (esc)
? 0
$ /usr/bin/cat "$DIR/Latin/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
InfoTip=caf\xe9\r (esc)
IconFile=/ic\xf4nes/a.ico\r (esc)
IconIndex=0\r (esc)
? 0

# ... and the text that does not fit makes the whole file UTF-16, what was
# there converted.
$ plumagectl set --no-copy --force "$DIR/Latin" /icons/Μουσική/音楽/😀.ico
Wrote /icons/Μουσική/音楽/😀.ico,0 to $DIR/Latin/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/Latin: /icons/Μουσική/音楽/😀.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/od -An -c -N4 "$DIR/Latin/DESKTOP.INI"
 377 376   [  \0
? 0
$ /usr/bin/iconv -f UTF-16 -t UTF-8 "$DIR/Latin/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
InfoTip=café\r (esc)
IconFile=/icons/Μουσική/音楽/😀.ico\r (esc)
IconIndex=0\r (esc)
? 0
$ plumagectl show "$DIR/Latin"
Folder: $DIR/Latin
Icon file: /icons/Μουσική/音楽/😀.ico
Index: 0
Source: $DIR/Latin/DESKTOP.INI
Set and reset write: $DIR/Latin/DESKTOP.INI
Folder attributes: System
$DIR/Latin/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0

# doctor: one line per check of what Windows needs to show the icon, status
# 0 only when nothing keeps it from it.
$ /usr/bin/mkdir "$DIR/Doctor"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
FAIL  descriptor: no DESKTOP.INI in $DIR/Doctor
Windows would not show this folder's icon.
? 1
$ plumagectl set "$DIR/Doctor" "$DATA/one.ico"
Wrote FolderIcon.ico,0 to $DIR/Doctor/DESKTOP.INI (a copy of $DATA/one.ico,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconResource=FolderIcon.ico,0
ok    icon file: FolderIcon.ico is inside the folder: every machine that reads the folder finds it
ok    index: icon 0 is there (the file holds 1 icon)
ok    folder: $DIR/Doctor is marked System
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would show this folder's icon.
? 0
$ /usr/bin/ls -A "$DIR/Doctor"
.directory
DESKTOP.INI
FolderIcon.ico
? 0

# What keeps Windows from showing it, one at a time: a failed check is one
# line, the checks after it do not pile up.
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=/usr/share/x.ico\r\nIconIndex=0\r\n"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconFile=/usr/share/x.ico, IconIndex=0
FAIL  icon file: /usr/share/x.ico is a path of this system only: Windows cannot open it (keep the icon inside the folder, or map the folder with plumagectl settings --windows-path)
ok    folder: $DIR/Doctor is marked System
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would not show this folder's icon.
? 1
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=gone.ico\r\nIconIndex=0\r\n"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconFile=gone.ico, IconIndex=0
FAIL  icon file: gone.ico is named inside the folder, but there is no file $DIR/Doctor/gone.ico
ok    folder: $DIR/Doctor is marked System
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would not show this folder's icon.
? 1
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=4\r\n"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconFile=FolderIcon.ico, IconIndex=4
ok    icon file: FolderIcon.ico is inside the folder: every machine that reads the folder finds it
FAIL  index: no icon at index 4 (the file holds 1 icon)
ok    folder: $DIR/Doctor is marked System
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would not show this folder's icon.
? 1
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconIndex=0\r\n"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
FAIL  keys: no IconFile or IconResource in [.ShellClassInfo] of $DIR/Doctor/DESKTOP.INI
Windows would not show this folder's icon.
? 1
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=%SystemRoot%\\\\system32\\\\shell32.dll\r\nIconIndex=3\r\n"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconFile=%SystemRoot%\system32\shell32.dll, IconIndex=3
note  icon file: %SystemRoot%\system32\shell32.dll is a path of Windows variables; it cannot be checked from here
ok    folder: $DIR/Doctor is marked System
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would show this folder's icon.
? 0
$ write "$DIR/Doctor/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
? 0
$ /usr/bin/setfattr -n user.DOSATTRIB -v '"0x0"' "$DIR/Doctor"
? 0
$ plumagectl doctor "$DIR/Doctor"
ok    volume: $FS: attributes kept as user.DOSATTRIB
ok    descriptor: $DIR/Doctor/DESKTOP.INI is there (Windows-1252)
ok    keys: IconFile=FolderIcon.ico, IconIndex=0
ok    icon file: FolderIcon.ico is inside the folder: every machine that reads the folder finds it
ok    index: icon 0 is there (the file holds 1 icon)
FAIL  folder: $DIR/Doctor has neither the System nor the Read-only attribute: Windows does not read its DESKTOP.INI
ok    descriptor attributes: DESKTOP.INI is Hidden and System
Windows would not show this folder's icon.
? 1

# The Linux file managers' icon without a session bus: a PNG of the largest
# image (48 × 48, blue, between 16 and 32), named by .directory for Dolphin.
# An icon that cannot be read is told, and the old entry goes.
$ /usr/bin/mkdir "$DIR/Sizes"
? 0
$ plumagectl set --no-copy "$DIR/Sizes" "$DATA/sizes.ico"
Wrote $DATA/sizes.ico,0 to $DIR/Sizes/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/find "$DIR/home" -name "sizes-0-*.png" -exec /usr/bin/identify -format "%m %wx%h blue %[fx:255*p{0,0}.b]\n" {} +
PNG 48x48 blue 255
? 0
$ /usr/bin/grep -o "Icon=.*/sizes-0-" "$DIR/Sizes/.directory"
Icon=$DIR/home/.local/share/plumage/FolderIcons/sizes-0-
? 0
$ write "$DIR/Sizes/.directory" "[Desktop Entry]\nIcon=/old.png\nName=M\n"
? 0
$ plumagectl set --no-copy --force "$DIR/Sizes" "$DIR/missing.ico"
Wrote $DIR/missing.ico,0 to $DIR/Sizes/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/Sizes: $DIR/missing.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/Sizes/.directory"
[Desktop Entry]
Name=M
? 0

# Windows leaves desktop.ini in lower case at times, and a user may have
# made it Read-only: it is the descriptor all the same, written in place,
# and Read-only goes with the first step.
$ write "$DIR/Lower/desktop.ini" "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=1\r\n"
? 0
$ /usr/bin/chmod 444 "$DIR/Lower/desktop.ini"
? 0
$ plumagectl set --no-copy --force "$DIR/Lower" /i/new.ico 2
Wrote /i/new.ico,2 to $DIR/Lower/desktop.ini
! plumagectl: warning: the Linux file managers show no icon for $DIR/Lower: /i/new.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/Lower/desktop.ini"
[.ShellClassInfo]\r (esc)
IconFile=/i/new.ico\r (esc)
IconIndex=2\r (esc)
? 0
$ /usr/bin/stat -c "%A %n" "$DIR/Lower/desktop.ini"
-rw-r--r-- $DIR/Lower/desktop.ini
? 0
$ /usr/bin/getfattr -d --absolute-names "$DIR/Lower/desktop.ini"
# file: $DIR/Lower/desktop.ini
user.DOSATTRIB="0x6"

? 0

# IconResource follows where it is there already; it is never added, not
# even when another section has one.
$ write "$DIR/Res/DESKTOP.INI" "[.ShellClassInfo]\r\nIconResource=C:\\\\Windows\\\\shell32.dll,4\r\n"
? 0
$ plumagectl set --no-copy --force "$DIR/Res" /i/new.ico 2
Wrote /i/new.ico,2 to $DIR/Res/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/Res: /i/new.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/Res/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconResource=/i/new.ico,2\r (esc)
IconFile=/i/new.ico\r (esc)
IconIndex=2\r (esc)
? 0
$ write "$DIR/Res/DESKTOP.INI" "[Other]\r\nIconResource=x,1\r\n"
? 0
$ plumagectl set --no-copy --force "$DIR/Res" /i/new.ico 0
Wrote /i/new.ico,0 to $DIR/Res/DESKTOP.INI
! plumagectl: warning: the Linux file managers show no icon for $DIR/Res: /i/new.ico: no such file
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 3
$ /usr/bin/cat "$DIR/Res/DESKTOP.INI"
[Other]\r (esc)
IconResource=x,1\r (esc)
[.ShellClassInfo]\r (esc)
IconFile=/i/new.ico\r (esc)
IconIndex=0\r (esc)
? 0

# Each write replaces DESKTOP.INI (a new file renamed over it) keeping its
# permissions and extended attributes; the values it holds already leave
# the file alone.
$ write "$DIR/Perm/DESKTOP.INI" "; caf\xe9\n[.ShellClassInfo]\nIconFile=/i/a.ico\nIconIndex=0\n"
? 0
$ /usr/bin/chmod 640 "$DIR/Perm/DESKTOP.INI"
? 0
$ /usr/bin/setfattr -n user.other -v 0x780079 "$DIR/Perm/DESKTOP.INI"
? 0
$ /usr/bin/touch -d @0 "$DIR/Perm/DESKTOP.INI"
? 0
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl set --no-copy --force "$DIR/Perm" /i/a.ico 0
Wrote /i/a.ico,0 to $DIR/Perm/DESKTOP.INI
? 3
$ /usr/bin/stat -c "%Y %a" "$DIR/Perm/DESKTOP.INI"
0 640
? 0
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl set --no-copy --force "$DIR/Perm" /i/b.ico 0
Wrote /i/b.ico,0 to $DIR/Perm/DESKTOP.INI
? 3
$ /usr/bin/find "$DIR/Perm/DESKTOP.INI" -newermt @1 -printf "%f %m\n"
DESKTOP.INI 640
? 0
$ /usr/bin/getfattr -d -e hex --absolute-names "$DIR/Perm/DESKTOP.INI"
# file: $DIR/Perm/DESKTOP.INI
user.DOSATTRIB=0x307836
user.other=0x780079

? 0
$ /usr/bin/cat "$DIR/Perm/DESKTOP.INI"
; caf\xe9 (esc)
[.ShellClassInfo]
IconFile=/i/b.ico
IconIndex=0
? 0

# The folder gains System with an icon and loses it on Reset; its Hidden
# and Archive stay as they were (Read-only too: as_root.t).
$ /usr/bin/mkdir "$DIR/Marked"
? 0
$ /usr/bin/setfattr -n user.DOSATTRIB -v '"0x22"' "$DIR/Marked"
? 0
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl set --no-copy --force "$DIR/Marked" "C:\\Icons\\Game.ico" 1
Wrote C:\Icons\Game.ico,1 to $DIR/Marked/DESKTOP.INI
? 3
$ /usr/bin/getfattr -R -d --absolute-names "$DIR/Marked"
# file: $DIR/Marked
user.DOSATTRIB="0x26"

# file: $DIR/Marked/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl reset "$DIR/Marked"
Removed the icon of $DIR/Marked ($DIR/Marked/DESKTOP.INI)
? 0
$ /usr/bin/getfattr -R -d --absolute-names "$DIR/Marked"
# file: $DIR/Marked
user.DOSATTRIB="0x22"

# file: $DIR/Marked/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
