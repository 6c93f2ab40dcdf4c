# With the package's Dolphin and Nemo entries among the system's data
# folders ($DIR/system), plumagectl install adds no second one beside them:
# GNOME Files and Thunar only, in the home; the package's files are never
# touched.
$ env PLUMAGE_HOME=$DIR/program
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0

# The user has Thunar actions of their own: they stay byte for byte.
$ write "$DIR/home/.config/Thunar/uca.xml" "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<name>Other</name>\n\t<command>other %f</command>\n</action>\n</actions>\n"
? 0
$ /usr/bin/cp "$DIR/home/.config/Thunar/uca.xml" users.xml
? 0

# Entries made in the home before the package came go at the next rename.
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/mkdir -p "$DIR/system/kio/servicemenus" "$DIR/system/nemo/actions"
? 0
$ /usr/bin/cp "$SOURCE/data/menus/plumage-folder-verb.desktop" "$DIR/system/kio/servicemenus"
? 0
$ /usr/bin/cp "$SOURCE/data/menus/plumage-folder-verb.nemo_action" "$DIR/system/nemo/actions"
? 0
$ plumagectl settings --language fr
Language: French
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/find "$DIR/home/.local/share" -type f
$DIR/home/.local/share/nautilus/scripts/Modifier l'icône...
? 0
$ plumagectl settings --language en
Language: English
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0

$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.config/Thunar/uca.xml
Menu entry for every user (from the package): $DIR/system/kio/servicemenus/plumage-folder-verb.desktop
Menu entry for every user (from the package): $DIR/system/nemo/actions/plumage-folder-verb.nemo_action
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.config
.local

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

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Change icon...

$DIR/home/.local/share/nemo:
actions

$DIR/home/.local/share/nemo/actions:
? 0
$ /usr/bin/cat "$DIR/home/.config/Thunar/uca.xml"
<?xml version="1.0" encoding="UTF-8"?>
<actions>
<action>
\t<name>Other</name> (esc)
\t<command>other %f</command> (esc)
</action>
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
$ plumagectl settings --language fr
Language: French
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.config
.local

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

$DIR/home/.local/share/nautilus:
scripts

$DIR/home/.local/share/nautilus/scripts:
Modifier l'icône...

$DIR/home/.local/share/nemo:
actions

$DIR/home/.local/share/nemo/actions:
? 0
$ plumagectl uninstall
Removed menu entry: $DIR/home/.local/share/nautilus/scripts/Modifier l'icône...
Removed menu entry: $DIR/home/.config/Thunar/uca.xml
Removed the verb key from $DIR/config/registry.reg; the icons in $DIR/program/Icons are kept.
? 0
$ /usr/bin/ls -AR "$DIR/home"
$DIR/home:
.config

$DIR/home/.config:
Thunar

$DIR/home/.config/Thunar:
uca.xml
? 0
$ /usr/bin/cmp users.xml "$DIR/home/.config/Thunar/uca.xml"
? 0
$ /usr/bin/ls -AR "$DIR/system"
$DIR/system:
kio
nemo

$DIR/system/kio:
servicemenus

$DIR/system/kio/servicemenus:
plumage-folder-verb.desktop

$DIR/system/nemo:
actions

$DIR/system/nemo/actions:
plumage-folder-verb.nemo_action
? 0

# Without the package again, install brings the home's own entries back.
$ /usr/bin/rm -r "$DIR/system"
? 0
$ plumagectl install
Installed: program folder $DIR/program/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/config/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/grep -h "hange icon" "$DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop" "$DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action"
Name=C&hange icon...
Name=C_hange icon...
? 0
