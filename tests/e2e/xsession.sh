# Shared by the end-to-end tests: an X server of their own, the helpers that
# find and focus the program's windows, and the clean-up. Sourced after the
# test has set `output` (where screenshots go); exits 77 (skipped) where no
# X server can be started.

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
server=""
app=""
manager=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*"
    import -window root "$output/failure.png" 2>/dev/null && echo "screen: $output/failure.png"
    exit 1
}

# The X server picks a free display and names it; a test may ask for another
# screen size by setting `screen` first.
Xvfb -displayfd 3 -screen 0 "${screen:-1600x1000x24}" -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
server=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "skipped: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" "$output"
chmod 700 "$XDG_RUNTIME_DIR"

# A window manager, for a test that needs windows decorated, placed and
# maximised as on a desktop; without one the test may size windows itself.
start_window_manager() {
    command -v openbox >/dev/null 2>&1 || return 1
    openbox >"$work/openbox.log" 2>&1 &
    manager=$!
    sleep 0.5
}

# The window with the given title, once it is shown.
window_named() {
    timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n1
}

# How many windows of that title are shown now.
windows_named() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l
}

# Focus a window before typing into it: without a window manager nothing else
# gives it the keyboard.
focus() {
    xdotool windowfocus --sync "$1"
    sleep 0.2
}

# The program's own messages: their caption is the program's name alone.
message_boxes() {
    windows_named '^Kestrelvane \(HMQ27\)$'
}

# The schematic pane's corners in the window: the area of its own background
# colour. Sets left, top, right and bottom.
find_schematic() {
    import -window "$1" "$work/window.png" || fail "no screenshot of the window"
    local corners
    corners=$(convert "$work/window.png" -depth 8 txt:- | grep '(220,230,240)' |
        sed -n '1p;$p' | cut -d: -f1)
    [ -n "$corners" ] || fail "the schematic pane is not on the screen"
    read -r left top <<<"$(echo "$corners" | head -n1 | tr ',' ' ')"
    read -r right bottom <<<"$(echo "$corners" | tail -n1 | tr ',' ' ')"
}

# Double-clicks block number `block` (0 = Input) of band `band` (0 = first) of
# a design of `bands` bands, the pane found by find_schematic.
open_block() {
    local window=$1 bands=$2 band=$3 block=$4
    local row=$(( (bottom - top + 1) / bands ))
    xdotool mousemove --window "$window" $(( left + 9 + 72 * block + 30 )) \
        $(( top + row * band + (row - 60) / 2 + 30 ))
    xdotool click --repeat 2 --delay 80 1
}
