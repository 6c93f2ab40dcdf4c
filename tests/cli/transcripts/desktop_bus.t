# The folder icon of GNOME Files, Nemo and Caja (metadata::custom-icon in
# GIO's metadata) as a user's plumagectl sets it: on a session bus of the
# transcript's own, through the real metadata service of gvfs, read back by
# gio; the PNG made in the program folder, and .directory for Dolphin. The
# PNG's name ends in a hash of the icon's path, which differs from one
# checkout to another: grep leaves it out.
$ require /usr/bin/dbus-daemon
? 0
$ require /usr/libexec/gvfsd-metadata
? 0
$ require /usr/bin/gio
? 0
$ env "PLUMAGE_HOME=$DIR/my program"
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0
$ /usr/bin/mkdir "$DIR/My Music"
? 0
$ bus
? 0
$ /usr/bin/sh -c 'exec "$@" >/dev/null' sh $BUILD/src/plumagectl install
? 0
$ plumagectl set "$DIR/My Music" "$SOURCE/data/icons/folder_blue.ico"
Wrote FolderIcon.ico,0 to $DIR/My Music/DESKTOP.INI (a copy of $SOURCE/data/icons/folder_blue.ico,0 kept inside the folder)
? 0
$ /usr/bin/sh -c '/usr/bin/gio info -a metadata::custom-icon "$0" | /usr/bin/grep -o "custom-icon: .*-0-"' "$DIR/My Music"
custom-icon: file://$DIR/my%20program/FolderIcons/folder_blue-0-
? 0
$ /usr/bin/grep -o "Icon=.*-0-" "$DIR/My Music/.directory"
Icon=$DIR/my program/FolderIcons/folder_blue-0-
? 0
$ /usr/bin/find "$DIR/my program/FolderIcons" -name "folder_blue-0-*.png" -printf "%y %h\n"
f $DIR/my program/FolderIcons
? 0

# Switched off, reset leaves the file managers' icon alone.
$ plumagectl settings --linux-icons off
Language: English
Default library: (none)
Refresh reminder: on
Linux file manager icons: off
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ plumagectl reset "$DIR/My Music"
Removed the icon of $DIR/My Music ($DIR/My Music/DESKTOP.INI)
? 0
$ /usr/bin/sh -c '/usr/bin/gio info -a metadata::custom-icon "$0" | /usr/bin/grep -o "custom-icon: .*-0-"' "$DIR/My Music"
custom-icon: file://$DIR/my%20program/FolderIcons/folder_blue-0-
? 0

# Switched on, reset clears it; clearing what is not there is no fault.
$ plumagectl settings --linux-icons on
Language: English
Default library: (none)
Refresh reminder: on
Linux file manager icons: on
Keep the icon inside the folder: on
Windows paths: (none)
? 0
$ plumagectl reset "$DIR/My Music"
Removed the icon of $DIR/My Music ($DIR/My Music/DESKTOP.INI)
? 0
$ plumagectl reset "$DIR/My Music"
Removed the icon of $DIR/My Music ($DIR/My Music/DESKTOP.INI)
? 0
$ /usr/bin/sh -c '/usr/bin/gio info -a metadata::custom-icon "$0" | /usr/bin/grep -o "custom-icon: .*-0-"' "$DIR/My Music"
? 1
$ /usr/bin/ls -A "$DIR/My Music"
DESKTOP.INI
? 0
