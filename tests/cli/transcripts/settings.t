# plumagectl install, settings and uninstall: the settings store
# ($DIR/home/.config/plumage/registry.reg) as the settings dialog writes it.

# Before install there is no verb key to hold the settings: one line says
# what to run, and no store is made.
$ plumagectl settings --reminder off
! plumagectl: Plumage is not installed in $DIR/home/.config/plumage/registry.reg: run plumagectl install first
? 1
$ /usr/bin/ls -A "$DIR/home"
? 0

# install makes the program folder with its Icons and the verb key.
$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/home/.config/plumage/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/cat "$DIR/home/.config/plumage/registry.reg"
REGEDIT4\r (esc)
\r (esc)
[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon\\command]\r (esc)
@="\\"$BUILD/src/plumage\\" %1"\r (esc)
\r (esc)
[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r (esc)
\r (esc)
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\explorer]\r (esc)
\r (esc)
[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon]\r (esc)
@="C&hange icon..."\r (esc)
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/plumage"
Icons
menu-entries.txt
? 0

# French (the caption in Windows-1252) without the refresh reminder.
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" english.reg
? 0
$ plumagectl settings --language fr --reminder off
Language: French
Default library: (none)
Refresh reminder: off
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/diff english.reg "$DIR/home/.config/plumage/registry.reg"
11c11,12
< @="C&hange icon..."\r (esc)
---
> @="M&odifier l'ic\xf4ne..."\r (esc)
> "NoWarning"=" 1"\r (esc)
? 1
$ plumagectl settings
Language: French
Default library: (none)
Refresh reminder: off
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0

# Installing again keeps the chosen language.
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" french.reg
? 0
$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/home/.config/plumage/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Modifier l'icône...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ /usr/bin/cmp french.reg "$DIR/home/.config/plumage/registry.reg"
? 0

$ plumagectl settings --default-library /opt/icons/Lib.icl --language en --linux-icons off --portable off --windows-path '/srv/share=\\nas\share'
Language: English
Default library: /opt/icons/Lib.icl
Refresh reminder: off
Linux file manager icons: off
Keep the icon inside the folder: off
Windows path: /srv/share = \\nas\share
? 0
$ /usr/bin/diff french.reg "$DIR/home/.config/plumage/registry.reg"
11c11
< @="M&odifier l'ic\xf4ne..."\r (esc)
---
> @="C&hange icon..."\r (esc)
12a13,16
> "DefaultLibrary"="/opt/icons/Lib.icl"\r (esc)
> "KeepIconInside"=" 0"\r (esc)
> "LinuxIcons"=" 0"\r (esc)
> "WindowsPaths"="/srv/share|\\\\\\\\nas\\\\share"\r (esc)
? 1

# Uninstall takes the verb key away and keeps the icons made.
$ write "$DIR/home/.local/share/plumage/Icons/Music.ico" icon
? 0
$ plumagectl uninstall
Removed menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Removed menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Removed menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Removed menu entry: $DIR/home/.config/Thunar/uca.xml
Removed the verb key from $DIR/home/.config/plumage/registry.reg; the icons in $DIR/home/.local/share/plumage/Icons are kept.
? 0
$ /usr/bin/cat "$DIR/home/.config/plumage/registry.reg"
REGEDIT4\r (esc)
\r (esc)
[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r (esc)
\r (esc)
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\explorer]\r (esc)
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/plumage/Icons"
Music.ico
? 0

# A store damaged by hand: reading never rewrites it, an unreadable value
# counts as missing; the first change keeps the lines it cannot read and
# saves a copy of the file beside it first.
$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/home/.config/plumage/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ append "$DIR/home/.config/plumage/registry.reg" "\"NoWarning\"= oops, edited by hand\r\n"
? 0
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" damaged.reg
? 0
$ plumagectl settings
Language: English
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ /usr/bin/cmp damaged.reg "$DIR/home/.config/plumage/registry.reg"
? 0
$ plumagectl settings --language fr
Language: French
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
! plumagectl: $DIR/home/.config/plumage/registry.reg holds lines that cannot be read; they are kept as they are, and the file as it was before this change is saved as $DIR/home/.config/plumage/registry.reg.damaged
? 0
$ /usr/bin/cmp damaged.reg "$DIR/home/.config/plumage/registry.reg.damaged"
? 0
$ /usr/bin/diff damaged.reg "$DIR/home/.config/plumage/registry.reg"
11c11
< @="C&hange icon..."\r (esc)
---
> @="M&odifier l'ic\xf4ne..."\r (esc)
? 1
# A later change copies nothing more.
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh $BUILD/src/plumagectl settings --language en
? 0
$ /usr/bin/ls "$DIR/home/.config/plumage"
registry.reg
registry.reg.damaged
registry.reg.lock
? 0

# Usage errors.
$ plumagectl settings --language de
! plumagectl: --language: de not in {en,fr} (see plumagectl --help)
? 2
$ plumagectl settings --reminder maybe
! plumagectl: --reminder: maybe not in {on,off} (see plumagectl --help)
? 2
$ plumagectl
! plumagectl: A subcommand is required (see plumagectl --help)
? 2
