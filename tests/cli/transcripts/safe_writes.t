# plumagectl run as an administrator runs it on someone else's folder:
# links, FIFOs and devices planted where it reads and writes. A command that
# waited on a FIFO would run out of the runner's minute.

$ /usr/bin/mkdir "$DIR/Music" "$DIR/elsewhere" "$DIR/out" "$DIR/export" "$DIR/Other"
? 0
$ /usr/bin/cp "$DATA/band.ico" "$DATA/alpha.png" "$DIR"
? 0

# A link in the place of DESKTOP.INI, to another owner's file: refused in
# one line, the target neither read nor written, the folder unchanged.
$ write "$DIR/elsewhere/passwd" "root:x:0:0\n"
? 0
$ /usr/bin/chmod 400 "$DIR/elsewhere/passwd"
? 0
$ /usr/bin/ln -s "$DIR/elsewhere/passwd" "$DIR/Music/DESKTOP.INI"
? 0
$ plumagectl reset "$DIR/Music"
! plumagectl: Cannot write to file! cannot write $DIR/Music/DESKTOP.INI: it is a link to $DIR/elsewhere/passwd, which is not a file of the link's owner in the same folder; it is left as it was; DESKTOP.INI and the attributes were left as they were
? 1
$ plumagectl set --no-copy "$DIR/Music" "$DIR/band.ico" 0
! plumagectl: Cannot write to file! cannot write $DIR/Music/DESKTOP.INI: it is a link to $DIR/elsewhere/passwd, which is not a file of the link's owner in the same folder; it is left as it was; DESKTOP.INI and the attributes were left as they were
? 1
$ plumagectl set "$DIR/Music" "$DIR/band.ico" 0
! plumagectl: Cannot write to file! cannot write $DIR/Music/DESKTOP.INI: it is a link to $DIR/elsewhere/passwd, which is not a file of the link's owner in the same folder; it is left as it was; DESKTOP.INI and the attributes were left as they were
? 1
$ /usr/bin/stat -c "%N %A %s" "$DIR/Music/DESKTOP.INI" "$DIR/elsewhere/passwd"
'$DIR/Music/DESKTOP.INI' -> '$DIR/elsewhere/passwd' lrwxrwxrwx 41
'$DIR/elsewhere/passwd' -r-------- 11
? 0
$ /usr/bin/cat "$DIR/elsewhere/passwd"
root:x:0:0
? 0
$ /usr/bin/getfattr -R --absolute-names -d "$DIR/Music" "$DIR/elsewhere"
? 0
$ /usr/bin/ls -A "$DIR/Music"
DESKTOP.INI
? 0
$ /usr/bin/rm "$DIR/Music/DESKTOP.INI"
? 0

# A user's own link beside the descriptor (to a file of theirs in the same
# folder) is kept on purpose: written through.
$ write "$DIR/Music/shared.ini" "[Other]\r\nx=1\r\n"
? 0
$ /usr/bin/ln -s shared.ini "$DIR/Music/DESKTOP.INI"
? 0
$ plumagectl set --no-copy "$DIR/Music" "$DIR/band.ico" 0
Wrote $DIR/band.ico,0 to $DIR/Music/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/stat -c %N "$DIR/Music/DESKTOP.INI"
'$DIR/Music/DESKTOP.INI' -> 'shared.ini'
? 0
$ /usr/bin/cat "$DIR/Music/shared.ini"
[Other]\r (esc)
x=1\r (esc)
[.ShellClassInfo]\r (esc)
IconFile=$DIR/band.ico\r (esc)
IconIndex=0\r (esc)
? 0

# Dolphin's .directory linked to a secret: the descriptor is written, the
# .directory neither read nor written, and that is a warning.
$ write "$DIR/secret" "[Desktop Entry]\nIcon=top-secret-value\n"
? 0
$ /usr/bin/chmod 600 "$DIR/secret"
? 0
$ /usr/bin/ln -s "$DIR/secret" "$DIR/Other/.directory"
? 0
$ plumagectl set --no-copy "$DIR/Other" "$DIR/band.ico" 0
Wrote $DIR/band.ico,0 to $DIR/Other/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: Dolphin does not show the folder's icon: cannot read $DIR/Other/.directory: it is a link to $DIR/secret, which is not a file of the link's owner in the same folder; it is left as it was
? 3
$ /usr/bin/stat -c "%N %A %s" "$DIR/Other/.directory" "$DIR/secret"
'$DIR/Other/.directory' -> '$DIR/secret' lrwxrwxrwx 31
'$DIR/secret' -rw------- 38
? 0
$ /usr/bin/grep -r top-secret-value "$DIR"
$DIR/secret:Icon=top-secret-value
? 0

# What sits at an output path and is no file of ours stays as it was: a
# FIFO, a link into another folder.
$ write "$DIR/elsewhere.txt" "keep me"
? 0
$ /usr/bin/mkfifo "$DIR/out/fifo"
? 0
$ /usr/bin/ln -s "$DIR/elsewhere.txt" "$DIR/out/link"
? 0
$ plumagectl make-icon "$DIR/band.ico" --colour blue --out "$DIR/out/fifo"
! plumagectl: Error! Cannot make the icon file $DIR/out/fifo: cannot write $DIR/out/fifo: it is a FIFO, not a regular file; it is left as it was
? 1
$ plumagectl palette create halftone "$DIR/out/fifo"
! plumagectl: cannot write $DIR/out/fifo
? 1
$ plumagectl image save "$DIR/alpha.png" "$DIR/out/fifo" --depth 24
! plumagectl: $DIR/out/fifo was not written (the write failed; any earlier file is unchanged)
? 1
$ plumagectl make-icon "$DIR/band.ico" --colour blue --out "$DIR/out/link"
! plumagectl: Error! Cannot make the icon file $DIR/out/link: cannot write $DIR/out/link: it is a link to $DIR/elsewhere.txt, which is not a file of the link's owner in the same folder; it is left as it was
? 1
$ plumagectl palette create halftone "$DIR/out/link"
! plumagectl: cannot write $DIR/out/link
? 1
$ plumagectl image save "$DIR/alpha.png" "$DIR/out/link" --depth 24
! plumagectl: $DIR/out/link was not written (the write failed; any earlier file is unchanged)
? 1
$ /usr/bin/stat -c "%N %F" "$DIR/out/fifo" "$DIR/out/link"
'$DIR/out/fifo' fifo
'$DIR/out/link' -> '$DIR/elsewhere.txt' symbolic link
? 0
$ /usr/bin/cat "$DIR/elsewhere.txt"
keep me (no-eol)
? 0

# An export over a FIFO of the name it would write.
$ /usr/bin/mkfifo "$DIR/export/band_0.png"
? 0
$ plumagectl icons "$DIR/band.ico" --export "$DIR/export"
 0  image 1 of 2: 32 x 32, 32 bpp
! plumagectl: cannot write $DIR/export/band_0.png
? 1
$ /usr/bin/stat -c "%N %F" "$DIR/export/band_0.png"
'$DIR/export/band_0.png' fifo
? 0

# A FIFO in every place of an input answers at once.
$ /usr/bin/mkfifo "$DIR/fifo"
? 0
$ plumagectl icons "$DIR/fifo"
! plumagectl: No icon was found in this file! ($DIR/fifo: not a file)
? 1
$ plumagectl image gray "$DIR/fifo" "$DIR/g.bmp"
! plumagectl: cannot read $DIR/fifo: it is a FIFO, not a regular file; it is left as it was
? 1
$ plumagectl image save "$DIR/alpha.png" "$DIR/s.bmp" --depth 8 --palette "$DIR/fifo"
! plumagectl: $DIR/fifo: not a binary palette file (a count from 1 to 4097 and its colours); --jasc reads a JASC palette
? 1
$ plumagectl make-icon "$DIR/fifo" --colour red --out "$DIR/m.ico"
! plumagectl: $DIR/fifo: not a file
? 1
$ plumagectl set --no-copy "$DIR/Music" "$DIR/fifo" 0
! plumagectl: the icon file $DIR/fifo is not a regular file; nothing was changed (--force writes it all the same)
? 1
$ plumagectl set "$DIR/Music" "$DIR/fifo" 0
! plumagectl: the icon file $DIR/fifo is not a regular file; nothing was changed (--force writes it all the same)
? 1

# FIFOs planted as Dolphin's file, as the descriptor and as the settings store.
$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/home/.config/plumage/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/mkdir "$DIR/Fifos" "$DIR/Fifos2"
? 0
$ /usr/bin/mkfifo "$DIR/Fifos/.directory" "$DIR/Fifos2/DESKTOP.INI"
? 0
$ plumagectl set --no-copy "$DIR/Fifos" "$DIR/band.ico" 0
Wrote $DIR/band.ico,0 to $DIR/Fifos/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
! plumagectl: warning: Dolphin does not show the folder's icon: cannot read $DIR/Fifos/.directory: it is a FIFO, not a regular file; it is left as it was
? 3
$ plumagectl set --no-copy "$DIR/Fifos2" "$DIR/band.ico" 0
! plumagectl: Cannot write to file! cannot write $DIR/Fifos2/DESKTOP.INI: it is a FIFO, not a regular file; it is left as it was; DESKTOP.INI and the attributes were left as they were
? 1
$ plumagectl doctor "$DIR/Fifos2"
ok    volume: $FS: attributes kept as user.DOSATTRIB
FAIL  descriptor: cannot read $DIR/Fifos2/DESKTOP.INI: it is a FIFO, not a regular file; it is left as it was
Windows would not show this folder's icon.
? 1
$ /usr/bin/rm "$DIR/home/.config/plumage/registry.reg"
? 0
$ /usr/bin/mkfifo "$DIR/home/.config/plumage/registry.reg"
? 0
$ plumagectl settings --reminder off
! plumagectl: Plumage is not installed in $DIR/home/.config/plumage/registry.reg: run plumagectl install first
? 1
$ plumagectl settings
! plumagectl: Error! Plumage is not correctly installed! Please re-install the software.
? 1
$ /usr/bin/stat -c "%N %F" "$DIR/Fifos/.directory" "$DIR/Fifos2/DESKTOP.INI" "$DIR/home/.config/plumage/registry.reg"
'$DIR/Fifos/.directory' fifo
'$DIR/Fifos2/DESKTOP.INI' fifo
'$DIR/home/.config/plumage/registry.reg' fifo
? 0
$ /usr/bin/ls -A "$DIR/Fifos" "$DIR/Fifos2"
$DIR/Fifos:
.directory
DESKTOP.INI

$DIR/Fifos2:
DESKTOP.INI
? 0
