# plumagectl make-icon: the new-icon dialog's road from a script, and --apply.
# icotool (icoutils) reads the icons made; the hashes hold every byte.

$ /usr/bin/mkdir "$DIR/Music"
? 0

# A blue folder icon from the first icon of a file, saved in the program
# folder's Icons under a name, and given to a folder: the folder keeps a
# copy of its own (FolderIcon.ico, every image, marked as Plumage's: the
# same bytes after the header, and a mark at the end).
$ plumagectl make-icon "$DATA/band.ico" --colour blue --name Music --apply "$DIR/Music"
Wrote $DIR/home/.local/share/plumage/Icons/Music.ico
Wrote $DIR/home/.local/share/plumage/Icons/Music.ico,0 to $DIR/Music/DESKTOP.INI
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/icotool -l "$DIR/home/.local/share/plumage/Icons/Music.ico"
--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256
? 0
$ /usr/bin/sha256sum "$DIR/home/.local/share/plumage/Icons/Music.ico" "$DIR/Music/FolderIcon.ico"
34c4cf9c8a286bece4f860488cf95f969816a46bfbf72c1f75a25dde564fe1b5  $DIR/home/.local/share/plumage/Icons/Music.ico
fcecedadcc50c63af204139e10a55646a8daaca5987f0f335ca4c9d95d5df53f  $DIR/Music/FolderIcon.ico
? 0
$ /usr/bin/cat "$DIR/Music/DESKTOP.INI"
[.ShellClassInfo]\r (esc)
IconFile=FolderIcon.ico\r (esc)
IconIndex=0\r (esc)
IconResource=FolderIcon.ico,0\r (esc)
? 0
$ /usr/bin/cmp -i 22 "$DIR/home/.local/share/plumage/Icons/Music.ico" "$DIR/Music/FolderIcon.ico"
! cmp: EOF on $DIR/home/.local/share/plumage/Icons/Music.ico after byte 2216, in line 1
? 1
$ /usr/bin/ls -A "$DIR/Music" "$DIR/home/.local/share/plumage" "$DIR/home/.local/share/plumage/Icons"
$DIR/Music:
.directory
DESKTOP.INI
FolderIcon.ico

$DIR/home/.local/share/plumage:
FolderIcons
Icons

$DIR/home/.local/share/plumage/Icons:
Music.ico
? 0

# --out writes anywhere; each colour is its own icon.
$ plumagectl make-icon "$DATA/band.ico" 0 --colour green --out "$DIR/green.ico"
Wrote $DIR/green.ico
? 0
$ plumagectl make-icon $PE/icons40_32.dll 5 --color red --out "$DIR/red.ico"
Wrote $DIR/red.ico
? 0
$ plumagectl make-icon "$DATA/one.ico" --colour yellow --out "$DIR/yellow.ico"
Wrote $DIR/yellow.ico
? 0
$ /usr/bin/icotool -l "$DIR/green.ico" "$DIR/red.ico" "$DIR/yellow.ico"
--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256
--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256
--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256
? 0
$ /usr/bin/sha256sum "$DIR/green.ico" "$DIR/red.ico" "$DIR/yellow.ico"
29fe41938e1114f4dafccedb51a0a120640698a77577f92e84069a7b9748faec  $DIR/green.ico
8ca404cc539982c07cea030576d2642985a9b66f345fc70573256c4fbc5fef05  $DIR/red.ico
bae388345ba9f8493a67d1fd2a659e189fd7d05676ca05d65e098e3f746b6d71  $DIR/yellow.ico
? 0

# Refusals: nothing made, nothing applied.
$ /usr/bin/mkdir "$DIR/Other"
? 0
$ plumagectl make-icon "$DATA/band.ico" --colour red --name ../x
! plumagectl: Error! An icon name cannot contain a full stop or any of the characters \ / : = * ?
? 1
$ plumagectl make-icon "$DATA/band.ico" 5 --colour red --name x --apply "$DIR/Other"
! plumagectl: $DATA/band.ico: no icon at index 5 (the file holds 1 icon)
? 1
$ plumagectl make-icon "$DATA/band.ico" --colour pink --name x
! plumagectl: --colour: pink not in {yellow,red,blue,green} (see plumagectl --help)
? 2
$ plumagectl make-icon "$DATA/band.ico" --colour red
! plumagectl: give either --name NAME (in the folder of new icons) or --out PATH
? 1
$ plumagectl make-icon "$DATA/band.ico" --colour red --name x --out "$DIR/x.ico"
! plumagectl: --name excludes --out (see plumagectl --help)
? 2
$ write "$DIR/picture.txt" "no icons in here"
? 0
$ plumagectl make-icon "$DIR/picture.txt" --colour red --out "$DIR/x.ico"
! plumagectl: $DIR/picture.txt: not an icon file, executable or library
? 1
$ /usr/bin/ls -A "$DIR" "$DIR/Other" "$DIR/home/.local/share/plumage/Icons"
$DIR:
Music
Other
green.ico
home
picture.txt
red.ico
run
yellow.ico

$DIR/Other:

$DIR/home/.local/share/plumage/Icons:
Music.ico
? 0
