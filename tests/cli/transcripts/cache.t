# plumagectl cache: the shell's icon settings, as the settings dialog writes
# them, in the settings store ($DIR/home/.config/plumage/registry.reg).

# Before install the shell's keys are not in the store: one line says which.
$ plumagectl cache --colours max
! plumagectl: cannot write "Shell Icon BPP": the key HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics is not in $DIR/home/.config/plumage/registry.reg (plumagectl install makes it)
? 1
$ plumagectl cache --size 750
! plumagectl: --size: 750 not in {100,500,1000,1500,2000} (see plumagectl --help)
? 2
$ /usr/bin/ls -A "$DIR/home"
.local
? 0

$ plumagectl install
Installed: program folder $DIR/home/.local/share/plumage/, verb key HKEY_CLASSES_ROOT\Folder\shell\PlumIcon in $DIR/home/.config/plumage/registry.reg
Menu entry: $DIR/home/.local/share/nautilus/scripts/Change icon...
Menu entry: $DIR/home/.local/share/kio/servicemenus/plumage-folder-verb.desktop
Menu entry: $DIR/home/.local/share/nemo/actions/plumage-folder-verb.nemo_action
Menu entry: $DIR/home/.config/Thunar/uca.xml
? 0
$ plumagectl cache
Icon colours: 16 colours (Shell Icon BPP = not set)
Icon cache size: 500 (system default) (Max Cached Icons = not set)
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0

# A folder of that name is no cache file.
$ /usr/bin/mkdir "$DIR/home/.local/share/plumage/shelliconcache"
? 0
$ plumagectl cache --delete
No icon cache file at $DIR/home/.local/share/plumage/shelliconcache: nothing to delete.
Icon colours: 16 colours (Shell Icon BPP = not set)
Icon cache size: 500 (system default) (Max Cached Icons = not set)
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/rmdir "$DIR/home/.local/share/plumage/shelliconcache"
? 0

# A change is told, with the reboot it needs; the store holds the dialog's values.
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" before.reg
? 0
$ plumagectl cache --colours max --size 2000
For the changes to take effect, you must reboot your computer.
Icon colours: maximum (Shell Icon BPP = "16")
Icon cache size: 2000 (recommended) (Max Cached Icons = "2000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/diff before.reg "$DIR/home/.config/plumage/registry.reg"
6a7
> "Shell Icon BPP"="16"\r (esc)
8a10
> "Max Cached Icons"="2000"\r (esc)
? 1
$ plumagectl cache
Icon colours: maximum (Shell Icon BPP = "16")
Icon cache size: 2000 (recommended) (Max Cached Icons = "2000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ plumagectl cache --colours 16 --size 100
For the changes to take effect, you must reboot your computer.
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 100 (minimum) (Max Cached Icons = "100")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/diff before.reg "$DIR/home/.config/plumage/registry.reg"
6a7
> "Shell Icon BPP"="4"\r (esc)
8a10
> "Max Cached Icons"="100"\r (esc)
? 1

# An unchanged value is not written again: the store keeps its bytes and its time.
$ plumagectl cache --size 1000
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 1000 (Max Cached Icons = "1000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" before.reg
? 0
$ /usr/bin/touch -d @946684800 "$DIR/home/.config/plumage/registry.reg"
? 0
$ plumagectl cache --size 1000 --colours 16
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 1000 (Max Cached Icons = "1000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/stat -c %Y "$DIR/home/.config/plumage/registry.reg"
946684800
? 0
$ /usr/bin/cmp before.reg "$DIR/home/.config/plumage/registry.reg"
? 0

# No Windows directory stored: the cache file is the program folder's, and
# it goes even when read-only.
$ write "$DIR/home/.local/share/plumage/shelliconcache" icons
? 0
$ /usr/bin/chmod 400 "$DIR/home/.local/share/plumage/shelliconcache"
? 0
$ plumagectl cache --delete
Deleted the icon cache $DIR/home/.local/share/plumage/shelliconcache. For the changes to take effect, you must reboot your computer.
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 1000 (Max Cached Icons = "1000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/ls -A "$DIR/home/.local/share/plumage"
Icons
menu-entries.txt
? 0
$ plumagectl cache --delete
No icon cache file at $DIR/home/.local/share/plumage/shelliconcache: nothing to delete.
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 1000 (Max Cached Icons = "1000")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/cp "$DIR/home/.config/plumage/registry.reg" before.reg
? 0
$ plumagectl cache --rebuild --size 1500
Icon cache rebuilt ("Shell Icon Size" stepped down by one and back).
Icon colours: 16 colours (Shell Icon BPP = "4")
Icon cache size: 1500 (Max Cached Icons = "1500")
Icon cache file: $DIR/home/.local/share/plumage/shelliconcache
? 0
$ /usr/bin/diff before.reg "$DIR/home/.config/plumage/registry.reg"
7a8
> "Shell Icon Size"="32"\r (esc)
10c11
< "Max Cached Icons"="1000"\r (esc)
---
> "Max Cached Icons"="1500"\r (esc)
? 1

$ plumagectl cache --colours 24
! plumagectl: --colours: 24 not in {max,16} (see plumagectl --help)
? 2
$ plumagectl cache --size lots
! plumagectl: --size: lots (see plumagectl --help)
? 2
