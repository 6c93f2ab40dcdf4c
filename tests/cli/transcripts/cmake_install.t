# cmake --install puts the programs, the desktop entry, the theme icons,
# the manuals, the completion and the menu entries in their standard places
# (the same under /usr/local as in the package).
$ /usr/bin/cmake --install $BUILD --prefix "$DIR/prefix" --config Any
-- Installing: $DIR/prefix/bin/plumage
-- Installing: $DIR/prefix/bin/plumagectl
-- Installing: $DIR/prefix/share/applications/plumage.desktop
-- Installing: $DIR/prefix/share/icons/hicolor/16x16/apps/plumage.png
-- Installing: $DIR/prefix/share/icons/hicolor/32x32/apps/plumage.png
-- Installing: $DIR/prefix/share/icons/hicolor/48x48/apps/plumage.png
-- Installing: $DIR/prefix/share/icons/hicolor/64x64/apps/plumage.png
-- Installing: $DIR/prefix/share/icons/hicolor/128x128/apps/plumage.png
-- Installing: $DIR/prefix/share/icons/hicolor/256x256/apps/plumage.png
-- Installing: $DIR/prefix/share/plumage/icons/folder_blue.ico
-- Installing: $DIR/prefix/share/plumage/icons/folder_green.ico
-- Installing: $DIR/prefix/share/plumage/icons/folder_red.ico
-- Installing: $DIR/prefix/share/plumage/icons/folder_yellow.ico
-- Installing: $DIR/prefix/share/plumage/icons/generic_application.ico
-- Installing: $DIR/prefix/share/kio/servicemenus/plumage-folder-verb.desktop
-- Installing: $DIR/prefix/share/nemo/actions/plumage-folder-verb.nemo_action
-- Installing: $DIR/prefix/share/metainfo/org.plumage_project.Plumage.metainfo.xml
-- Installing: $DIR/prefix/share/man/man1/plumage.1.gz
-- Installing: $DIR/prefix/share/man/man1/plumagectl.1.gz
-- Installing: $DIR/prefix/share/bash-completion/completions/plumagectl
-- Installing: $DIR/prefix/share/doc/plumage/copyright
-- Installing: $DIR/prefix/share/doc/plumage/changelog.gz
? 0
$ /usr/bin/desktop-file-validate "$DIR/prefix/share/applications/plumage.desktop"
? 0
$ /usr/bin/cat "$DIR/prefix/share/applications/plumage.desktop"
[Desktop Entry]
Type=Application
Name=Plumage
GenericName=Folder Icons
GenericName[fr]=Icônes de dossiers
Comment=Give folders an icon of their own: settings
Comment[fr]=Donner une icône à chaque dossier : paramètres
Exec=plumage
Icon=plumage
Terminal=false
Categories=Utility;
Keywords=folder;icon;desktop.ini;
? 0
