# What only root may set up: a device node at an output path, and a full
# disk (a small tmpfs of the transcript's own).
$ require root
? 0
$ /usr/bin/mkdir "$DIR/out" "$DIR/disk"
? 0

# A device at an output path stays a device.
$ /usr/bin/mknod "$DIR/out/null" c 1 3
? 0
$ plumagectl make-icon "$DATA/band.ico" --colour blue --out "$DIR/out/null"
! plumagectl: Error! Cannot make the icon file $DIR/out/null: cannot write $DIR/out/null: it is a device, not a regular file; it is left as it was
? 1
$ plumagectl palette create halftone "$DIR/out/null"
! plumagectl: cannot write $DIR/out/null
? 1
$ plumagectl image save "$DATA/alpha.png" "$DIR/out/null" --depth 24
! plumagectl: $DIR/out/null was not written (the write failed; any earlier file is unchanged)
? 1
$ /usr/bin/stat -c "%N %F" "$DIR/out/null"
'$DIR/out/null' character special file
? 0

# On a full disk nothing is reported as done, and nothing that was there
# changes: the settings store, the menu entries' language, a descriptor
# (read-only, Hidden and System) and its folder.
$ /usr/bin/mount -t tmpfs -o size=256k tmpfs "$DIR/disk"
? 0
$ env PLUMAGE_CONFIG=$DIR/disk/config
? 0
$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/disk/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ write "$DIR/disk/Photos/DESKTOP.INI" "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=0\r\n"
? 0
$ /usr/bin/setfattr -n user.DOSATTRIB -v '"0x6"' "$DIR/disk/Photos/DESKTOP.INI"
? 0
$ /usr/bin/chmod 440 "$DIR/disk/Photos/DESKTOP.INI"
? 0
$ /usr/bin/cp "$DIR/disk/config/registry.reg" "$DIR/store.reg"
? 0
$ /usr/bin/dd if=/dev/zero of=$DIR/disk/fill bs=4096 status=none
! /usr/bin/dd: error writing '$DIR/disk/fill': No space left on device
? 1

$ plumagectl settings --reminder off
! plumagectl: Error! The settings could not be saved. They are left as they were.
! plumagectl: cannot store the settings in $DIR/disk/config/registry.reg; a value the store refused is left as it was
? 1
$ plumagectl settings --language fr
! plumagectl: Error! The settings could not be saved. They are left as they were.
! plumagectl: cannot store the settings in $DIR/disk/config/registry.reg; a value the store refused is left as it was
? 1
$ /usr/bin/cmp "$DIR/store.reg" "$DIR/disk/config/registry.reg"
? 0
$ /usr/bin/grep -r "hange icon\|odifier l" "$DIR/home/.local/share/kio"
$DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop:Name=C&hange icon...
? 0

$ plumagectl set --no-copy "$DIR/disk/Photos" "$DATA/band.ico" 0
! plumagectl: Cannot write to file! cannot write $DIR/disk/Photos/DESKTOP.INI: No space left on device; DESKTOP.INI and the attributes were left as they were
? 1
$ /usr/bin/cat "$DIR/disk/Photos/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=old.ico\r (esc)
IconIndex=0\r (esc)
? 0
$ /usr/bin/stat -c "%n %A" "$DIR/disk/Photos/DESKTOP.INI"
$DIR/disk/Photos/DESKTOP.INI -r--r-----
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/disk/Photos"
# file: $DIR/disk/Photos/DESKTOP.INI
user.DOSATTRIB="0x6"

? 0
$ /usr/bin/ls -A "$DIR/disk/Photos"
DESKTOP.INI
? 0
$ /usr/bin/umount "$DIR/disk"
? 0

# Read-only, a folder's write permission, stays through set and reset; only
# root can still write into such a folder.
$ /usr/bin/mkdir -m 555 "$DIR/ReadOnly"
? 0
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl set --no-copy --force "$DIR/ReadOnly" /i/a.ico 0
Wrote /i/a.ico,0 to $DIR/ReadOnly/DESKTOP.INI
? 3
$ /usr/bin/sh -c 'exec "$@" 2>/dev/null' sh $BUILD/src/plumagectl reset "$DIR/ReadOnly"
Removed the icon of $DIR/ReadOnly ($DIR/ReadOnly/DESKTOP.INI)
? 0
$ /usr/bin/stat -c "%A %n" "$DIR/ReadOnly"
dr-xr-xr-x $DIR/ReadOnly
? 0
