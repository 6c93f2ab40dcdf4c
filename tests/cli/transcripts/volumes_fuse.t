# plumagectl on the volumes Debian mounts through FUSE, as root mounts them:
# an NTFS image through ntfs-3g, where the attributes are NTFS's own
# (system.ntfs_attrib_be, what Windows reads from the disk), and an exFAT
# image through exfat-fuse, which keeps no DOS attributes at all.
$ require root
? 0
$ require /dev/fuse
? 0
$ require /dev/loop-control
? 0
$ require /usr/bin/ntfs-3g
? 0
$ require /usr/sbin/mkntfs
? 0
$ require /usr/sbin/mount.exfat-fuse
? 0
$ require /usr/sbin/mkfs.exfat
? 0
$ env PLUMAGE_HOME=$DIR/program
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0
$ /usr/bin/truncate -s 16M "$DIR/ntfs.img" "$DIR/exfat.img"
? 0
$ /usr/bin/mkdir "$DIR/ntfs" "$DIR/exfat"
? 0

# A folder customised on Windows: Read-only (as Explorer marks such
# folders), Archive and not content indexed (0x2000, NTFS's own bit, which
# a write of the DOS bits carries over); its DESKTOP.INI Hidden, System and
# Archive with keys of its own. Set gives the folder System and keeps the
# icon inside, Hidden and System as the descriptor is, with no user.*
# attribute (ntfs-3g would keep one as a stream Windows never reads).
$ /usr/bin/sh -c 'exec "$@" >/dev/null 2>&1' sh /usr/sbin/mkntfs -F -q -f "$DIR/ntfs.img"
? 0
$ /usr/bin/ntfs-3g "$DIR/ntfs.img" "$DIR/ntfs"
? 0
$ write "$DIR/ntfs/Music/DESKTOP.INI" "[.ShellClassInfo]\r\nInfoTip=Songs\r\nIconResource=C:\\\\x.dll,3\r\n"
? 0
$ /usr/bin/cp "$DATA/band.ico" "$DIR/ntfs"
? 0
$ /usr/bin/setfattr -n system.ntfs_attrib_be -v 0x00000026 "$DIR/ntfs/Music/DESKTOP.INI"
? 0
$ /usr/bin/setfattr -n system.ntfs_attrib_be -v 0x00002031 "$DIR/ntfs/Music"
? 0
$ plumagectl set "$DIR/ntfs/Music" "$DIR/ntfs/band.ico" 0
Wrote FolderIcon.ico,0 to $DIR/ntfs/Music/DESKTOP.INI (a copy of $DIR/ntfs/band.ico,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/cat "$DIR/ntfs/Music/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
InfoTip=Songs\r (esc)
IconResource=FolderIcon.ico,0\r (esc)
IconFile=FolderIcon.ico\r (esc)
IconIndex=0\r (esc)
? 0
$ /usr/bin/getfattr -e hex -n system.ntfs_attrib_be --absolute-names "$DIR/ntfs/Music" "$DIR/ntfs/Music/DESKTOP.INI" "$DIR/ntfs/Music/FolderIcon.ico"
# file: $DIR/ntfs/Music
system.ntfs_attrib_be=0x00002035

# file: $DIR/ntfs/Music/DESKTOP.INI
system.ntfs_attrib_be=0x00000006

# file: $DIR/ntfs/Music/FolderIcon.ico
system.ntfs_attrib_be=0x00000006

? 0
$ /usr/bin/getfattr -R -d --absolute-names "$DIR/ntfs/Music"
? 0
$ plumagectl show "$DIR/ntfs/Music"
Folder: $DIR/ntfs/Music
Icon file: $DIR/ntfs/Music/FolderIcon.ico
Index: 0
Source: $DIR/ntfs/Music/DESKTOP.INI
Set and reset write: $DIR/ntfs/Music/DESKTOP.INI
Folder attributes: Read-only, System, Archive
$DIR/ntfs/Music/DESKTOP.INI attributes: Hidden, System
Volume: fuse (ntfs); DOS attributes: NTFS attributes
? 0

# Reset takes System away again and removes the kept copy.
$ plumagectl reset "$DIR/ntfs/Music"
Removed the icon of $DIR/ntfs/Music ($DIR/ntfs/Music/DESKTOP.INI)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/getfattr -e hex -n system.ntfs_attrib_be --absolute-names "$DIR/ntfs/Music" "$DIR/ntfs/Music/DESKTOP.INI"
# file: $DIR/ntfs/Music
system.ntfs_attrib_be=0x00002031

# file: $DIR/ntfs/Music/DESKTOP.INI
system.ntfs_attrib_be=0x00000006

? 0
$ /usr/bin/ls -A "$DIR/ntfs/Music"
DESKTOP.INI
? 0
$ /usr/bin/umount "$DIR/ntfs"
? 0

# exFAT through FUSE: the descriptor is written, and set says which
# attributes of which file it could not store, on which volume, and exits
# 3; so does reset, which marks the emptied descriptor Hidden and System
# again.
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh /usr/sbin/mkfs.exfat "$DIR/exfat.img"
? 0
$ /usr/bin/mount -o loop -t exfat-fuse "$DIR/exfat.img" "$DIR/exfat"
? 0
$ /usr/bin/mkdir "$DIR/exfat/Music"
? 0
$ /usr/bin/cp "$DATA/band.ico" "$DIR/exfat"
? 0
$ plumagectl set "$DIR/exfat/Music" "$DIR/exfat/band.ico" 0
Wrote FolderIcon.ico,0 to $DIR/exfat/Music/DESKTOP.INI (a copy of $DIR/exfat/band.ico,0 kept inside the folder); the warnings say what was not stored
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot set the Hidden and System attributes of $DIR/exfat/Music/DESKTOP.INI: the fuseblk (exfat) volume it lies on has no place to keep them
! plumagectl: warning: cannot set the System attribute of $DIR/exfat/Music: the fuseblk (exfat) volume it lies on has no place to keep them
! plumagectl: warning: cannot set the Hidden and System attributes of $DIR/exfat/Music/FolderIcon.ico: the fuseblk (exfat) volume it lies on has no place to keep them
? 3
$ /usr/bin/cat "$DIR/exfat/Music/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=FolderIcon.ico\r (esc)
IconIndex=0\r (esc)
IconResource=FolderIcon.ico,0\r (esc)
? 0
$ plumagectl show "$DIR/exfat/Music"
Folder: $DIR/exfat/Music
Icon file: $DIR/exfat/Music/FolderIcon.ico
Index: 0
Source: $DIR/exfat/Music/DESKTOP.INI
Set and reset write: $DIR/exfat/Music/DESKTOP.INI
Folder attributes: Normal
$DIR/exfat/Music/DESKTOP.INI attributes: Normal
Volume: fuseblk (exfat); DOS attributes: nowhere
? 0
$ plumagectl reset "$DIR/exfat/Music"
Removed the icon of $DIR/exfat/Music ($DIR/exfat/Music/DESKTOP.INI); the warnings say what was not stored
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: cannot set the Hidden and System attributes of $DIR/exfat/Music/DESKTOP.INI: the fuseblk (exfat) volume it lies on has no place to keep them
? 3
$ /usr/bin/umount "$DIR/exfat"
? 0
