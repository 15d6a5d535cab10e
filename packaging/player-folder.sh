# Shared by the quillmere and quillmere-edit commands (sourced, not run).
# The game reads config.txt and qm.dat from its working folder and the world
# from data1 there, so each player gets a folder of their own: a copy of the
# default settings, made once and then theirs, and links to the installed
# data, renewed on every start so that an update of the game reaches them.
# A data file that is a real file (a world changed in the room editor) is the
# player's and stays.

QM_VERSION="@PROJECT_VERSION@"

# The installed data, beside lib/quillmere (qm_lib, set by the command).
qm_share=$(cd "$qm_lib/../../share/quillmere" && pwd)

# The XDG base directory rule: a relative XDG_DATA_HOME is ignored.
case "${XDG_DATA_HOME:-}" in
/*) qm_home="$XDG_DATA_HOME/quillmere" ;;
*) qm_home="${HOME:?HOME is not set}/.local/share/quillmere" ;;
esac

qm_link() {
    if [ -L "$2" ] || [ ! -e "$2" ]; then
        ln -sfn "$1" "$2"
    fi
}

qm_prepare_folder() {
    mkdir -p "$qm_home/data1"
    if [ ! -e "$qm_home/config.txt" ]; then
        cp "$qm_share/config.txt" "$qm_home/config.txt"
        chmod u+w "$qm_home/config.txt"
    fi
    qm_link "$qm_share/qm.dat" "$qm_home/qm.dat"
    qm_link "$qm_share/ReadMe.txt" "$qm_home/ReadMe.txt"
    for qm_file in "$qm_share"/data1/*; do
        qm_link "$qm_file" "$qm_home/data1/${qm_file##*/}"
    done
}
