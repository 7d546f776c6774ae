#!/bin/sh
# Starts Quillmark in the user's own folder: the program reads links.ryx and rep.ini from the
# folder it starts in, and a shared install folder is not writable.
set -eu

prefix=$(dirname "$(dirname "$(readlink -f "$0")")")

usage() {
    echo "usage: quillmark [--autostart on|off]"
}

# The desktop's autostart entry is the menu's own entry, so both start the bar the same way.
autostart() {
    # Relative XDG folders are invalid and ignored, as the program's own settings do.
    case ${XDG_CONFIG_HOME-} in
    /*) folder=$XDG_CONFIG_HOME/autostart ;;
    *) folder=$HOME/.config/autostart ;;
    esac
    case $1 in
    on)
        mkdir -p "$folder"
        cp "$prefix/share/applications/quillmark.desktop" "$folder/quillmark.desktop"
        echo "Quillmark starts with the desktop: $folder/quillmark.desktop"
        ;;
    off)
        rm -f "$folder/quillmark.desktop"
        echo "Quillmark no longer starts with the desktop."
        ;;
    *)
        usage >&2
        exit 2
        ;;
    esac
}

case $#:${1-} in
0:) ;;
1:-h | 1:--help)
    usage
    exit 0
    ;;
2:--autostart)
    autostart "$2"
    exit 0
    ;;
*)
    usage >&2
    exit 2
    ;;
esac

case ${XDG_DATA_HOME-} in
/*) folder=$XDG_DATA_HOME/quillmark ;;
*) folder=$HOME/.local/share/quillmark ;;
esac
mkdir -p "$folder"
for file in links.ryx rep.ini; do
    # The user's own files are never replaced, only missing ones are given the defaults.
    [ -e "$folder/$file" ] || cp "$prefix/share/quillmark/$file" "$folder/$file"
done
cd "$folder"
exec "$prefix/lib/quillmark/quillmark"
