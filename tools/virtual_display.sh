# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Source it: start_virtual_display FOLDER starts Xvfb on a display number that the server picks
# itself (so that several can run side by side), waits for it, exports DISPLAY and sets
# virtual_display_pid. FOLDER holds the file through which Xvfb tells its number.
# -noreset: by default the server resets whenever its last client leaves, and drops whoever is
# connecting meanwhile; a window manager started while a short-lived xprop or xdotool ends, or a
# program started as the one before it was stopped, would then find no display.
start_virtual_display() {
    local folder=$1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$folder/display" 2>/dev/null &
    virtual_display_pid=$!
    for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.05; done
    [ -s "$folder/display" ] || return 1
    export DISPLAY=":$(cat "$folder/display")"
}
