# plumagectl on a folder a Linux file server shares, as a Windows client
# sees it: Debian's smbd on a loopback port, with its folders under $DIR,
# and smbclient. The server keeps what clients set in its own binary
# user.DOSATTRIB record, which plumagectl reads and keeps.
$ require root
? 0
$ require /usr/sbin/smbd
? 0
$ require /usr/bin/smbclient
? 0
$ env PLUMAGE_HOME=$DIR/program
? 0
$ env PLUMAGE_CONFIG=$DIR/config
? 0
$ write "$DIR/smb/smb.conf" "include = $DATA/smb.conf\n[global]\n  smb ports = $PORT\n"
? 0
$ append "$DIR/smb/smb.conf" "  lock directory = $DIR/smb\n  state directory = $DIR/smb\n  cache directory = $DIR/smb\n  pid directory = $DIR/smb\n  private dir = $DIR/smb\n  ncalrpc dir = $DIR/smb/ncalrpc\n  log file = $DIR/smb/log\n"
? 0
$ append "$DIR/smb/smb.conf" "[share]\n  path = $DIR/share\n  guest ok = yes\n  read only = no\n"
? 0
$ /usr/bin/mkdir -p "$DIR/share/Music"
? 0
$ /usr/bin/cp "$DATA/band.ico" "$DIR/share"
? 0
$ start /usr/sbin/smbd --foreground "--configfile=$DIR/smb/smb.conf"
? 0

# A client (here smbclient, asked until the server answers) makes the folder
# Read-only and Archive, as Explorer marks a customised folder.
$ /usr/bin/sh -c 'for i in $(seq 300); do smbclient //127.0.0.1/share -p "$1" -N -s "$2" -c "setmode Music +ra" 2>/dev/null && exit; sleep 0.1; done; cat "$3"; exit 1' sh $PORT "$DIR/smb/smb.conf" "$DIR/smb/log"
? 0

# Set gives the folder System and keeps its bits; the descriptor and the
# kept icon are Hidden and System as the client reads them.
$ plumagectl set "$DIR/share/Music" "$DIR/share/band.ico" 0
Wrote FolderIcon.ico,0 to $DIR/share/Music/DESKTOP.INI (a copy of $DIR/share/band.ico,0 kept inside the folder)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/sh -c 'for f in Music Music/DESKTOP.INI Music/FolderIcon.ico; do smbclient //127.0.0.1/share -p "$1" -N -s "$2" -c "allinfo $f" | grep attributes; done; smbclient //127.0.0.1/share -p "$1" -N -s "$2" -c "get Music/DESKTOP.INI -" 2>/dev/null' sh $PORT "$DIR/smb/smb.conf"
attributes: RSDA (35)
attributes: HS (6)
attributes: HS (6)
[.ShellClassInfo]\r (esc)
IconFile=FolderIcon.ico\r (esc)
IconIndex=0\r (esc)
IconResource=FolderIcon.ico,0\r (esc)
? 0

# Reset takes System away and removes the kept copy.
$ plumagectl reset "$DIR/share/Music"
Removed the icon of $DIR/share/Music ($DIR/share/Music/DESKTOP.INI)
! plumagectl: no session bus: metadata::custom-icon, the folder icon of GNOME Files, Nemo and Caja, is left as it was (DESKTOP.INI and .directory are written)
? 0
$ /usr/bin/sh -c 'for f in Music Music/DESKTOP.INI Music/FolderIcon.ico; do smbclient //127.0.0.1/share -p "$1" -N -s "$2" -c "allinfo $f" | grep attributes || echo "$f: none"; done' sh $PORT "$DIR/smb/smb.conf"
attributes: RDA (31)
attributes: HS (6)
Music/FolderIcon.ico: none
? 0
