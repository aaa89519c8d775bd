# installed.bash -- the installed game plays as a user's would: from its own data, with the
# player files in the user's data folder, and the install left as it was.
# Source after checks.bash and record.bash, with $work set.

# A new player Lark (password pw), a deal, a pass: one verdict, saved at once.
installed_script() {
    printf 'type Lark\nkey return\ntick 1\ntype pw\nkey return\n'
    printf 'click 600 180\ntick 40\nclick 600 372\ntick 5\nstate\n'
}

tree_sums() {  # tree_sums ROOT: every file under ROOT with its checksum
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}

# play_installed GAME ROOT: runs GAME (inside the install ROOT) without --data, once with only
# HOME and once with XDG_DATA_HOME, each of them fresh folders of the test's own.
play_installed() {
    local game=$1 root=$2 home=$work/home xdg=$work/xdg
    rm -rf "$home" "$xdg"
    mkdir -p "$home"
    installed_script >"$work/installed.txt"
    tree_sums "$root" >"$work/tree-before"
    if HOME=$home XDG_DATA_HOME= "$game" --headless --script "$work/installed.txt" \
        --shots "$work" >"$work/out" 2>"$work/err"; then
        check "the installed game plays from its own data" grep -q '"player":{"name":"Lark"' "$work/out"
        local record=$home/.local/share/wordlark/save/Lark.sav
        check "the verdict is saved in ~/.local/share/wordlark/save ($(decode_record "$record" 2>&1))" \
            test "$(decode_record "$record" 2>&1 | cut -d' ' -f 1,4,6)" = "Lark 1 1"
        check "that save folder is the player's alone" \
            test "$(stat -c %a "$home/.local/share/wordlark/save")" = 700
    else
        echo "FAIL: the installed game did not start without --data"
        cat "$work/err"
        failures=$((failures + 1))
    fi
    if HOME=$home XDG_DATA_HOME=$xdg "$game" --headless --script "$work/installed.txt" \
        --shots "$work" >/dev/null 2>"$work/err"; then
        check "XDG_DATA_HOME holds the player files" test -s "$xdg/wordlark/save/Lark.sav"
    else
        echo "FAIL: the installed game did not start with XDG_DATA_HOME"
        cat "$work/err"
        failures=$((failures + 1))
    fi
    tree_sums "$root" >"$work/tree-after"
    check "nothing was written into the install" cmp -s "$work/tree-before" "$work/tree-after"
}
