# plumagectl's help, the statuses of a wrong command line, and its version.
# Every line of the help is also in plumagectl(1) (tests/package/manual_test.cpp).

$ plumagectl --help
Plumage: gives a folder an icon of its own. plumagectl does from a terminal what the plumage window does.
Usage: plumagectl [OPTIONS] SUBCOMMAND

Options:
  -h,--help                   Print this help message and exit
  --version                   Display program version information and exit

Subcommands:
  cache                       Show the shell's icon colour depth and cache size; the options change them as the settings dialog does
  doctor                      Say why Windows would or would not show a folder's icon: the descriptor and its keys, the icon file as Windows reaches it, the icon's index, the attributes and the volume
  show                        Print a folder's present icon file and index as the icon picker reads them, and where they come from
  set                         Give a folder an icon: write its DESKTOP.INI (a drive root's AUTORUN.INF) with the attributes, as the picker's OK does
  reset                       Remove a folder's icon as the picker's Reset does (a drive root's AUTORUN.INF is deleted)
  icons                       List the icons of an .ico, .exe, .dll or .icl file as the icon picker shows them
  image                       Convert pictures (BMP or PNG in, BMP out) with the image engine
  palette                     Make palette files (binary, or JASC with --jasc)
  install                     Create the program folder with Icons/, the verb key on folders (HKEY_CLASSES_ROOT\Folder\shell\PlumIcon) that starts plumage, and its entry in the folder menus of GNOME Files, Dolphin, Nemo and Thunar (Dolphin's and Nemo's only where the package has not put one there for every user)
  uninstall                   Remove the verb key and the file managers' menu entries; the program folder and its icons stay
  make-icon                   Make a new folder icon from an icon of a file, as the Convert selected icon dialog does: the icon on a coloured folder, 32 x 32, 256 colours
  settings                    Show the stored settings; the options change them as the settings dialog does

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl show --help
Print a folder's present icon file and index as the icon picker reads them, and where they come from
Usage: plumagectl show [OPTIONS] FOLDER

Positionals:
  FOLDER TEXT REQUIRED        The folder

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl set --help
Give a folder an icon: write its DESKTOP.INI (a drive root's AUTORUN.INF) with the attributes, as the picker's OK does
Usage: plumagectl set [OPTIONS] FOLDER ICONFILE [INDEX]

Positionals:
  FOLDER TEXT REQUIRED        The folder
  ICONFILE TEXT REQUIRED      The icon file (.ico, .exe, .dll, .icl); the icon is copied into the folder unless the settings or --no-copy say otherwise
  INDEX TEXT                  The icon's index in the file (default 0)

Options:
  -h,--help                   Print this help message and exit
  --dry-run                   Say what would be written; change nothing
  --no-copy                   Name the icon file by its path (its Windows name where a --windows-path mapping holds it) instead of keeping a copy inside the folder
  --force                     Write the icon file as given even when it does not exist (yet) or is not a file

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl reset --help
Remove a folder's icon as the picker's Reset does (a drive root's AUTORUN.INF is deleted)
Usage: plumagectl reset [OPTIONS] FOLDER

Positionals:
  FOLDER TEXT REQUIRED        The folder

Options:
  -h,--help                   Print this help message and exit
  --dry-run                   Say what would be written; change nothing

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl doctor --help
Say why Windows would or would not show a folder's icon: the descriptor and its keys, the icon file as Windows reaches it, the icon's index, the attributes and the volume
Usage: plumagectl doctor [OPTIONS] FOLDER

Positionals:
  FOLDER TEXT REQUIRED        The folder

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 Windows would show the icon; 1 it would not (a line says why); 2 usage.
? 0
$ plumagectl icons --help
List the icons of an .ico, .exe, .dll or .icl file as the icon picker shows them
Usage: plumagectl icons [OPTIONS] file

Positionals:
  file TEXT REQUIRED          The icon file, application or library

Options:
  -h,--help                   Print this help message and exit
  --export TEXT               Write each 32 x 32 drawing as <name>_<index>.png into this folder
  --small                     Show the file's 16 x 16 shell icon instead (exported as <name>_small.png)

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl image --help
Convert pictures (BMP or PNG in, BMP out) with the image engine
Usage: plumagectl image [OPTIONS] SUBCOMMAND

Options:
  -h,--help                   Print this help message and exit

Subcommands:
  save                        Write a picture as a BMP file at 1, 4, 8 or 24 bits per pixel
  gray                        Turn a picture to grey levels (24-bit BMP out)
  bw                          Dither a picture to black and white (24-bit BMP out)
  resample                    Resize a picture, bilinear (24-bit BMP out)

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl image save --help
Write a picture as a BMP file at 1, 4, 8 or 24 bits per pixel
Usage: plumagectl image save [OPTIONS] IN OUT

Positionals:
  IN TEXT REQUIRED            Picture to read (BMP or PNG)
  OUT TEXT REQUIRED           BMP file to write

Options:
  -h,--help                   Print this help message and exit
  --depth INT:{1,4,8,24} REQUIRED
                              Bits per pixel
  --method INT:{0,1,2}        Colour reduction: 0 none (the colour table decides), 1 the --palette with error diffusion, 2 automatic (dithering, 16 colours, or an optimal 236-colour palette)
  --palette TEXT              Palette file (binary, or JASC with --jasc)
  --jasc                      The palette file is a JASC text palette

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl image gray --help
Turn a picture to grey levels (24-bit BMP out)
Usage: plumagectl image gray [OPTIONS] IN OUT

Positionals:
  IN TEXT REQUIRED            Picture to read (BMP or PNG)
  OUT TEXT REQUIRED           BMP file to write

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl image bw --help
Dither a picture to black and white (24-bit BMP out)
Usage: plumagectl image bw [OPTIONS] IN OUT

Positionals:
  IN TEXT REQUIRED            Picture to read (BMP or PNG)
  OUT TEXT REQUIRED           BMP file to write

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl image resample --help
Resize a picture, bilinear (24-bit BMP out)
Usage: plumagectl image resample [OPTIONS] IN OUT

Positionals:
  IN TEXT REQUIRED            Picture to read (BMP or PNG)
  OUT TEXT REQUIRED           BMP file to write

Options:
  -h,--help                   Print this help message and exit
  --width INT:INT in [1 - 32767] REQUIRED
                              New width in pixels
  --height INT:INT in [1 - 32767] REQUIRED
                              New height in pixels

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl palette --help
Make palette files (binary, or JASC with --jasc)
Usage: plumagectl palette [OPTIONS] SUBCOMMAND

Options:
  -h,--help                   Print this help message and exit

Subcommands:
  create                      Write a built-in palette
  optimal                     Write the octree palette of a picture

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl palette create --help
Write a built-in palette
Usage: plumagectl palette create [OPTIONS] KIND OUT

Positionals:
  KIND TEXT:{websafe,halftone,mono,16} REQUIRED
                              websafe, halftone, mono or 16
  OUT TEXT REQUIRED           Palette file to write

Options:
  -h,--help                   Print this help message and exit
  --jasc                      Write a JASC text palette

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl palette optimal --help
Write the octree palette of a picture
Usage: plumagectl palette optimal [OPTIONS] IN OUT

Positionals:
  IN TEXT REQUIRED            Picture to read (BMP or PNG)
  OUT TEXT REQUIRED           Palette file to write

Options:
  -h,--help                   Print this help message and exit
  --colours INT:INT in [1 - 4097]
                              Most colours of the palette
  --levels INT:INT in [1 - 8] Depth of the octree
  --jasc                      Write a JASC text palette

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl make-icon --help
Make a new folder icon from an icon of a file, as the Convert selected icon dialog does: the icon on a coloured folder, 32 x 32, 256 colours
Usage: plumagectl make-icon [OPTIONS] FILE [INDEX]

Positionals:
  FILE TEXT REQUIRED          The file holding the icon (.ico, .exe, .dll, .icl)
  INDEX TEXT                  The icon's index in the file (default 0)

Options:
  -h,--help                   Print this help message and exit
  --colour,--color TEXT:{yellow,red,blue,green} REQUIRED
                              The folder's colour
  --name TEXT Excludes: --out Save as NAME.ico in the program folder's Icons folder (no ".ico" added to a name ending in ico)
  --out TEXT Excludes: --name Save to this path instead
  --apply TEXT                Then give this folder the new icon, as the icon picker's OK does

Exit status: 0 done; 1 a message said what failed; 2 usage.
? 0
$ plumagectl install --help
Create the program folder with Icons/, the verb key on folders (HKEY_CLASSES_ROOT\Folder\shell\PlumIcon) that starts plumage, and its entry in the folder menus of GNOME Files, Dolphin, Nemo and Thunar (Dolphin's and Nemo's only where the package has not put one there for every user)
Usage: plumagectl install [OPTIONS]

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl uninstall --help
Remove the verb key and the file managers' menu entries; the program folder and its icons stay
Usage: plumagectl uninstall [OPTIONS]

Options:
  -h,--help                   Print this help message and exit

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl settings --help
Show the stored settings; the options change them as the settings dialog does
Usage: plumagectl settings [OPTIONS]

Options:
  -h,--help                   Print this help message and exit
  --language TEXT:{en,fr}     Language of the user interface (writes the verb caption)
  --default-library TEXT      Icon file offered when a folder has no icon (stored as typed; empty for none)
  --reminder TEXT:{on,off}    The 'Refresh' reminder after a change
  --linux-icons TEXT:{on,off} Also give a folder its icon in the Linux file managers (GIO metadata, KDE's .directory) when its DESKTOP.INI is written; on by default
  --portable TEXT:{on,off}    Keep the chosen icon inside the folder, as an .ico file its DESKTOP.INI names by its bare name, so Windows machines reading the folder find it; on by default on Linux, off on Windows (removable and network volumes always keep it inside)
  --windows-path TEXT ...     LINUXFOLDER=WINDOWSFOLDER: the name Windows clients use for a folder (/srv/share=\\nas\share, /mnt/win=C:\), written for an icon file under it when the icon is not kept inside the folder; LINUXFOLDER= removes the mapping; may be given several times

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0
$ plumagectl cache --help
Show the shell's icon colour depth and cache size; the options change them as the settings dialog does
Usage: plumagectl cache [OPTIONS]

Options:
  -h,--help                   Print this help message and exit
  --colours TEXT:{max,16}     Shell icons in the maximum colours (writes "Shell Icon BPP" 16) or in 16 colours (writes 4)
  --size INT:{100,500,1000,1500,2000}
                              Number of icons the shell's cache holds
  --delete                    Delete the icon cache file
  --rebuild                   Make the shell rebuild its icon cache (after any --size change)

Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an attribute could not be stored, or the Linux file managers could not be told).
? 0

# Usage errors: status 2; an error (a picture that is not there): status 1;
# nothing changed.
$ plumagectl --no-such-option
! plumagectl: A subcommand is required (see plumagectl --help)
? 2
$ plumagectl set
! plumagectl: FOLDER is required (see plumagectl --help)
? 2
$ plumagectl set --no-copy
! plumagectl: FOLDER is required (see plumagectl --help)
? 2
$ plumagectl frobnicate
! plumagectl: A subcommand is required (see plumagectl --help)
? 2
$ plumagectl image
! plumagectl: A subcommand is required (see plumagectl --help)
? 2
$ plumagectl image save a.bmp
! plumagectl: OUT is required (see plumagectl --help)
? 2
$ plumagectl image resample a.bmp b.bmp --width 0 --height 5
! plumagectl: --width: Value 0 not in range 1 to 32767 (see plumagectl --help)
? 2
$ plumagectl palette optimal a.bmp b.pal --levels 9
! plumagectl: --levels: Value 9 not in range 1 to 8 (see plumagectl --help)
? 2
$ plumagectl image gray missing.bmp grey.bmp
! plumagectl: cannot read missing.bmp: it does not exist
? 1
$ plumagectl install --user --all-users
! plumagectl: The following arguments were not expected: --all-users --user (see plumagectl --help)
? 2
$ /usr/bin/ls -A "$DIR" "$DIR/home"
$DIR:
home
run

$DIR/home:
? 0

$ plumagectl --version
1.0.96
? 0
