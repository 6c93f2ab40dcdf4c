# plumagectl install and uninstall put "Change icon..." into the folder menus
# of GNOME Files, Dolphin, Nemo and Thunar in the home ($DIR/system, the
# system's data folders here, holds no package's entries), follow the
# language, and take away exactly what they added: the user's own script and
# empty folder among them stay.
$ env PLUMAGE_HOME=$DIR/program
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0
$ /usr/bin/mkdir -p "$DIR/home/Documents" "$DIR/home/.local/share/kio"
? 0
$ write "$DIR/home/.local/share/nautilus/scripts/Mine" "#!/bin/sh\n"
? 0

$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.config
.local
Documents

$DIR/home/.config:
Thunar

$DIR/home/.config/Thunar:
uca.xml

$DIR/home/.local:
share

$DIR/home/.local/share:
kio
nautilus
nemo

$DIR/home/.local/share/kio:
servicemenus

$DIR/home/.local/share/kio/servicemenus:
plumage-folder-verb.desktop

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Change icon...
Mine

$DIR/home/.local/share/nemo:
actions

$DIR/home/.local/share/nemo/actions:
plumage-folder-verb.nemo_action

$DIR/home/Documents:
? 0
$ /usr/bin/cat "$DIR/home/.local/share/nautilus/scripts/Change icon..."
#!/bin/sh
# plumage-folder-verb: gives the chosen folder an icon of its own.
# GNOME Files runs it in the folder shown, with the chosen folder's name.
case $1 in
  '') exec '$BUILD/src/plumage' "$PWD" ;;
  /*) exec '$BUILD/src/plumage' "$1" ;;
  *) exec '$BUILD/src/plumage' "$PWD/$1" ;;
esac
? 0
$ /usr/bin/cat "$DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop"
[Desktop Entry]
Name=Plumage
Type=Service
ServiceTypes=KonqPopupMenu/Plugin
MimeType=inode/directory;
Actions=plumageChangeIcon;
X-KDE-Priority=TopLevel

[Desktop Action plumageChangeIcon]
Name=C&hange icon...
Icon=plumage
Exec="$BUILD/src/plumage" %f
? 0
$ /usr/bin/cat "$DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action"
[Nemo Action]
Name=C_hange icon...
Comment=Plumage: give this folder an icon of its own
Exec='$BUILD/src/plumage' %F
Icon-Name=plumage
Selection=s
Extensions=dir;
? 0
$ /usr/bin/cat "$DIR/home/.config/Thunar/uca.xml"
<?xml version="1.0" encoding="UTF-8"?>
<actions>
<action>
\t<icon>plumage</icon> (esc)
\t<name>Change icon...</name> (esc)
\t<submenu></submenu> (esc)
\t<unique-id>plumage-folder-verb</unique-id> (esc)
\t<command>&apos;$BUILD/src/plumage&apos; %f</command> (esc)
\t<description>Plumage: give this folder an icon of its own</description> (esc)
\t<range></range> (esc)
\t<patterns>*</patterns> (esc)
\t<directories/> (esc)
</action>
</actions>
? 0
$ /usr/bin/xmllint --noout "$DIR/home/.config/Thunar/uca.xml"
? 0
# Dolphin runs only executable service menus.
$ /usr/bin/stat -c "%A %n" "$DIR/home/.local/share/nautilus/scripts/Change icon..." "$DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop"
-rwxr-xr-x $DIR/home/.local/share/nautilus/scripts/Change icon...
-rwxr-xr-x $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
? 0

# French renames every entry and adds none.
$ plumagectl settings --language fr
Language: French
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/nautilus/scripts"
Mine
Modifier l'icône...
? 0
$ /usr/bin/grep -r "hange icon\|odifier l" "$DIR/home"
$DIR/home/.config/Thunar/uca.xml:\t<name>Modifier l&apos;icône...</name> (esc)
$DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action:Name=M_odifier l'icône...
$DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop:Name=M&odifier l'icône...
? 0

# Installing again keeps the French caption on every entry and changes nothing.
$ /usr/bin/cp -a "$DIR/home" "$DIR/installed"
? 0
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Modifier l'icône...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/nautilus/scripts"
Mine
Modifier l'icône...
? 0
$ /usr/bin/diff -r "$DIR/installed" "$DIR/home"
? 0

# An entry the user removed stays removed through a change of language.
$ /usr/bin/rm "$DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action"
? 0
$ plumagectl settings --language en
Language: English
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/nautilus/scripts" "$DIR/home/.local/share/nemo/actions"
$DIR/home/.local/share/nautilus/scripts:
Change icon...
Mine

$DIR/home/.local/share/nemo/actions:
? 0

# Uninstall leaves the home as it was.
$ plumagectl uninstall
Removed menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Removed menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Removed menu entry: $DIR/home/.config/Thunar/uca.xml
Removed the verb key from $DIR/config/registry.reg; the icons in $DIR/program/Icons are kept.
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.local
Documents

$DIR/home/.local:
share

$DIR/home/.local/share:
kio
nautilus

$DIR/home/.local/share/kio:

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Mine

$DIR/home/Documents:
? 0

# A Thunar file that is no actions file stops install, named, and stays as
# it was; no menu entry and no folder for one is made.
$ write "$DIR/home/.config/Thunar/uca.xml" "garbage"
? 0
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
! plumagectl: the folder menu entries of the file managers: $DIR/home/.config/Thunar/uca.xml: no <actions> element: not a Thunar custom-actions file, left as it is
? 1
$ /usr/bin/cat "$DIR/home/.config/Thunar/uca.xml"
garbage (no-eol)
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.config
.local
Documents

$DIR/home/.config:
Thunar

$DIR/home/.config/Thunar:
uca.xml

$DIR/home/.local:
share

$DIR/home/.local/share:
kio
nautilus

$DIR/home/.local/share/kio:

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Mine

$DIR/home/Documents:
? 0

# An actions file without an action takes ours into its element.
$ write "$DIR/home/.config/Thunar/uca.xml" "<?xml version=\"1.0\"?>\n<actions/>\n"
? 0
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh $BUILD/src/plumagectl install
? 0
$ /usr/bin/grep -v "^[[:space:]]" "$DIR/home/.config/Thunar/uca.xml"
<?xml version="1.0"?>
<actions>
<action>
</action>
</actions>
? 0
$ /usr/bin/rm -r "$DIR/home/.config"
? 0

# The user's own data folder named among the system's is no system folder:
# the entries go into the home, and a second install finds them there.
$ env XDG_DATA_DIRS=$DIR/home/.local/share
? 0
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ plumagectl uninstall
Removed menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Removed menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Removed menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Removed menu entry: $DIR/home/.config/Thunar/uca.xml
Removed the verb key from $DIR/config/registry.reg; the icons in $DIR/program/Icons are kept.
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.local
Documents

$DIR/home/.local:
share

$DIR/home/.local/share:
kio
nautilus

$DIR/home/.local/share/kio:

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Mine

$DIR/home/Documents:
? 0
