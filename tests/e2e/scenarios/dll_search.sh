# shellcheck shell=bash
# Libraries come from the system folder only: ones planted beside raidkit.exe under system
# names are never loaded, even where the search prefers them (Wine told to take native
# libraries first, as Windows searches for any name that is not one of its KnownDLLs).

# The libraries raidkit.exe may import: KnownDLLs, which Windows never takes from the program's
# folder, and comctl32, which comes through the manifest.
readonly ALLOWED_IMPORTS=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll "

scenario planted_libraries_beside_raidkit_are_not_loaded yes
planted_libraries_beside_raidkit_are_not_loaded() {
    local dll imports
    imports="$(x86_64-w64-mingw32-objdump -p "$RAIDKIT_EXE" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr 'A-Z' 'a-z')" || fail "could not read raidkit.exe's import table"
    [[ -n "$imports" ]] || fail "raidkit.exe shows no import table"
    for dll in $imports; do
        [[ "$ALLOWED_IMPORTS" == *" $dll "* ]] || fail "raidkit.exe imports $dll, which its own folder could supply"
    done

    make_app_dir "$SCEN_DIR/app"
    for dll in dinput8 uxtheme; do
        [[ -f "$TOOLS/planted/$dll.dll" ]] || fail "$TOOLS/planted/$dll.dll is not built"
        cp "$TOOLS/planted/$dll.dll" "$SCEN_DIR/app/"
    done
    settings_reg add /v KeyBind1 /t REG_SZ /d 'keys still typed' /f >/dev/null 2>&1 || fail "could not store KeyBind1"
    start_game
    # A normal start: the main window draws its themed controls through uxtheme.
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8,uxtheme=n,b" start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    wait_started 20 || fail "raidkit's start-up did not end within 20 s"
    activate_game || fail "the game is not in front (in front: $(drv foreground | head -n1))"
    drv_quiet press F9 || fail "rkdriver could not send F9"
    wait_file_content "$SCEN_DIR/chat-Ironveil.txt" $'keys still typed\n' 20 ||
        fail "F9 typed \"$(cat "$SCEN_DIR/chat-Ironveil.txt" 2>/dev/null)\" with the libraries planted"
    for dll in dinput8 uxtheme; do
        [[ ! -e "$SCEN_DIR/app/$dll.dll.loaded" ]] || fail "the $dll.dll planted beside raidkit.exe was loaded"
    done
}
