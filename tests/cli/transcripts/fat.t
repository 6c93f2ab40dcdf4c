# plumagectl on the volume of a USB stick: a FAT image the kernel mounts,
# its directory entries read back after the unmount as another machine
# reads them (mtools). Set makes the folder System and the descriptor and
# the kept icon Hidden and System; Reset takes System away again.
$ require root
? 0
$ require fs vfat
? 0
$ require /usr/sbin/mkfs.vfat
? 0
$ require /usr/bin/mattrib
? 0
$ env PLUMAGE_HOME=$DIR/program
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0
$ /usr/bin/truncate -s 16M "$DIR/fat.img"
? 0
$ /usr/bin/sh -c 'exec "$@" >/dev/null 2>&1' sh /usr/sbin/mkfs.vfat "$DIR/fat.img"
? 0
$ /usr/bin/mkdir "$DIR/mnt"
? 0
$ /usr/bin/mount -o loop -t vfat "$DIR/fat.img" "$DIR/mnt"
? 0
$ /usr/bin/mkdir "$DIR/mnt/Music"
? 0
$ /usr/bin/cp "$DATA/band.ico" "$DIR/mnt"
? 0
$ plumagectl set "$DIR/mnt/Music" "$DIR/mnt/band.ico" 0
Wrote FolderIcon.ico,0 to $DIR/mnt/Music/DESKTOP.INI (a copy of $DIR/mnt/band.ico,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/umount "$DIR/mnt"
? 0
$ /usr/bin/mattrib -i "$DIR/fat.img" ::/Music ::/Music/DESKTOP.INI ::/Music/FolderIcon.ico
     S       ::/Music
     SH      ::/Music/DESKTOP.INI
     SH      ::/Music/FolderIcon.ico
? 0
$ /usr/bin/mount -o loop -t vfat "$DIR/fat.img" "$DIR/mnt"
? 0
$ plumagectl reset "$DIR/mnt/Music"
Removed the icon of $DIR/mnt/Music ($DIR/mnt/Music/DESKTOP.INI)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/umount "$DIR/mnt"
? 0
$ /usr/bin/mattrib -i "$DIR/fat.img" ::/Music ::/Music/DESKTOP.INI
             ::/Music
     SH      ::/Music/DESKTOP.INI
? 0
