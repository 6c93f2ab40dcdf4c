# The icon kept inside the folder (the setting is on by default here): the
# whole icon copied as FolderIcon.ico, Hidden and System, named by its bare
# name; what later choices, a Reset and a failed write do with it; what
# cannot be copied; and, with the setting off, a folder mapped to the name
# Windows clients use for it.
$ /usr/bin/mkdir "$DIR/Kept"
? 0

# Icon 8 of the library has three images: all of them, in their order, as
# icotool reads them; show reads the copy back by its place in the folder.
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 8
Wrote FolderIcon.ico,0 to $DIR/Kept/DESKTOP.INI (a copy of $PE/icons40_64.dll,8 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/Kept/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=FolderIcon.ico\r (esc)
IconIndex=0\r (esc)
IconResource=FolderIcon.ico,0\r (esc)
? 0
$ /usr/bin/getfattr -n user.DOSATTRIB --absolute-names "$DIR/Kept/FolderIcon.ico"
# file: $DIR/Kept/FolderIcon.ico
user.DOSATTRIB="0x6"

? 0
$ /usr/bin/icotool -l "$DIR/Kept/FolderIcon.ico"
--icon --index=1 --width=16 --height=16 --bit-depth=8 --palette-size=256
--icon --index=2 --width=32 --height=32 --bit-depth=8 --palette-size=256
--icon --index=3 --width=48 --height=48 --bit-depth=24 --palette-size=0
? 0
$ plumagectl show "$DIR/Kept"
Folder: $DIR/Kept
Icon file: $DIR/Kept/FolderIcon.ico
Index: 0
Source: $DIR/Kept/DESKTOP.INI
Set and reset write: $DIR/Kept/DESKTOP.INI
Folder attributes: System
$DIR/Kept/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0

# A later choice replaces the copy in place, not beside it.
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 3
Wrote FolderIcon.ico,0 to $DIR/Kept/DESKTOP.INI (a copy of $PE/icons40_64.dll,3 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/icotool -l "$DIR/Kept/FolderIcon.ico"
--icon --index=1 --width=32 --height=32 --bit-depth=1 --palette-size=2
? 0

# A descriptor that cannot be replaced (a FIFO): the write fails after the
# copy, and the earlier copy comes back.
$ /usr/bin/cp "$DIR/Kept/FolderIcon.ico" before.ico
? 0
$ /usr/bin/rm "$DIR/Kept/DESKTOP.INI"
? 0
$ /usr/bin/mkfifo "$DIR/Kept/DESKTOP.INI"
? 0
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 8
! plumagectl: Cannot write to file! cannot write $DIR/Kept/DESKTOP.INI: it is a FIFO, not a regular file; it is left as it was; DESKTOP.INI and the attributes were left as they were
? 1
$ /usr/bin/cmp before.ico "$DIR/Kept/FolderIcon.ico"
? 0
$ /usr/bin/rm "$DIR/Kept/DESKTOP.INI"
? 0

# An icon file of the folder itself is named as it is, and keeps its
# attributes: the copy goes. Reset removes a copy and leaves the user's file.
$ /usr/bin/cp "$DATA/band.ico" "$DIR/Kept/cover.ico"
? 0
$ plumagectl set "$DIR/Kept" "$DIR/Kept/cover.ico" 0
Wrote cover.ico,0 to $DIR/Kept/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/getfattr -R -d --absolute-names "$DIR/Kept"
# file: $DIR/Kept
user.DOSATTRIB="0x4"

# file: $DIR/Kept/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 0
Wrote FolderIcon.ico,0 to $DIR/Kept/DESKTOP.INI (a copy of $PE/icons40_64.dll,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ plumagectl reset "$DIR/Kept"
Removed the icon of $DIR/Kept ($DIR/Kept/DESKTOP.INI)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/Kept/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=\r (esc)
IconIndex=\r (esc)
IconResource=\r (esc)
? 0
$ /usr/bin/ls -A "$DIR/Kept"
DESKTOP.INI
cover.ico
? 0

# A file of the user's is never overwritten: Windows ignores letter case, so
# foldericon.ico takes the name.
$ write "$DIR/Kept/foldericon.ico" "the user's own\n"
? 0
$ write "$DIR/Kept/FolderIcon (2).ico" "another of the user's\n"
? 0
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 0
Wrote FolderIcon (3).ico,0 to $DIR/Kept/DESKTOP.INI (a copy of $PE/icons40_64.dll,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/Kept/foldericon.ico" "$DIR/Kept/FolderIcon (2).ico"
the user's own
another of the user's
? 0

# What cannot be copied is named by its path, with a warning; so is an
# index past the file's icons.
$ write "$DIR/notes.txt" "not an icon"
? 0
$ plumagectl set "$DIR/Kept" "$DIR/notes.txt" 0
Wrote $DIR/notes.txt,0 to $DIR/Kept/DESKTOP.INI; the warnings say what was not stored
! plumagectl: warning: the Linux file managers show no icon for $DIR/Kept: $DIR/notes.txt: not an icon file, executable or library
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot keep the icon inside the folder: $DIR/notes.txt is not an icon file, executable or library; DESKTOP.INI names the icon file by its path
? 3
$ plumagectl set "$DIR/Kept" "$PE/icons40_64.dll" 45
Wrote $PE/icons40_64.dll,45 to $DIR/Kept/DESKTOP.INI; the warnings say what was not stored
! plumagectl: warning: the Linux file managers show no icon for $DIR/Kept: $PE/icons40_64.dll: no icon at index 45 (the file holds 40 icons)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot keep the icon inside the folder: $PE/icons40_64.dll has no icon at index 45 (it holds 40 icons); DESKTOP.INI names the icon file by its path
? 3

# The setting off, a mapped folder's icon is written by its Windows name
# and read back by its local one; a name relative to the folder, with
# Windows separators, reads as the file in the folder.
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh $BUILD/src/plumagectl install
? 0
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh $BUILD/src/plumagectl settings --portable off --windows-path "$PE=\\\\nas\\share"
? 0
$ /usr/bin/mkdir "$DIR/Mapped"
? 0
$ plumagectl set "$DIR/Mapped" "$PE/icons40_64.dll" 2
Wrote \\nas\share\icons40_64.dll,2 to $DIR/Mapped/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/Mapped/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=\\\\nas\\share\\icons40_64.dll\r (esc)
IconIndex=2\r (esc)
? 0
$ plumagectl show "$DIR/Mapped"
Folder: $DIR/Mapped
Icon file: $PE/icons40_64.dll
Index: 2
Source: $DIR/Mapped/DESKTOP.INI
Set and reset write: $DIR/Mapped/DESKTOP.INI
Folder attributes: System
$DIR/Mapped/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0
$ write "$DIR/Mapped/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=art\\\\x.ico\r\nIconIndex=1\r\n"
? 0
$ plumagectl show "$DIR/Mapped"
Folder: $DIR/Mapped
Icon file: $DIR/Mapped/art/x.ico
Index: 1
Source: $DIR/Mapped/DESKTOP.INI
Set and reset write: $DIR/Mapped/DESKTOP.INI
Folder attributes: System
$DIR/Mapped/DESKTOP.INI attributes: Hidden, System
Volume: $FS; DOS attributes: user.DOSATTRIB
? 0
