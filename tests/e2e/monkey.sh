#!/usr/bin/env bash
# Random input to the real desktop program under Xvfb and openbox for a
# while (kv_monkey does the clicking and typing and tells what failed).
# Exits 77 (skipped) where no X server or window manager can be started.
#
#   monkey.sh KV_MONKEY KESTRELVANE KESTRELVANE_CLI EXAMPLES_FOLDER OUTPUT_FOLDER SECONDS
# KV_MONKEY_SEED replays a run's choices.
set -u
monkey=$1
program=$2
cli=$3
examples=$4
output=$5
seconds=$6

for tool in Xvfb openbox; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
server=""
manager=""
driver=""
cleanup() {
    [ -n "$driver" ] && kill "$driver" 2>/dev/null && wait "$driver" 2>/dev/null
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "stopped by a signal"; exit 143' TERM INT

# The X server picks a free display and names it.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "skipped: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
# A sanitizer build reports leaks at every quit: those of the system's
# libraries are not the program's.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan-suppressions.txt:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Everything the program may write lives under $work/user: its working
# folder, home, settings, data and caches. Root's run hands the folder to an
# unprivileged user, so that the program can write nowhere else that matters
# and opens no serial device.
user_folder="$work/user"
export HOME="$user_folder/home" XDG_CONFIG_HOME="$user_folder/config"
export XDG_DATA_HOME="$user_folder/data" XDG_CACHE_HOME="$user_folder/cache"
export XDG_RUNTIME_DIR="$user_folder/run"
mkdir -p "$user_folder/designs" "$HOME" "$XDG_CONFIG_HOME/Veldrasound" "$XDG_DATA_HOME" \
    "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$output"
chmod 700 "$XDG_RUNTIME_DIR"
# The port list's last entry, which names no device on a test machine: Update
# HMQ then fails at once instead of writing to whatever sits on the first.
printf '[Settings]\nCOM%%20Port=8\n' >"$XDG_CONFIG_HOME/Veldrasound/Kestrelvane.conf"
# The examples, and a design whose first band has a single biquad left, so
# that the refusals of the biquad budget are near at hand.
cp -r "$examples" "$work/designs"
for f in $(seq 12); do
    echo "Filter: ON PK Fc $((f * 150)) Hz Gain -1 dB Q 2"
done >"$work/equalisers.txt"
"$cli" import-eq "$examples/three-way.ksv" --band 1 "$work/equalisers.txt" \
    -o "$work/designs/one-free-biquad.ksv" >/dev/null ||
    { echo "FAILED: could not make the design with one free biquad"; exit 1; }

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 711 "$work"
    chown -R nobody:nogroup "$user_folder"
    as_user=(--user nobody)
fi

# A window manager gives dialogs the focus as a desktop does, and closes
# windows with Alt+F4. Its own menus are left out: the clicks are for the
# program alone.
cat >"$work/openbox.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Middle" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
  </mouse>
  <menu></menu>
</openbox_config>
EOF
# kv_monkey waits for it to take over the display.
openbox --sm-disable --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
manager=$!

"$monkey" --program "$program" --examples "$work/designs" --folder "$user_folder/designs" \
    --output "$output" --seconds "$seconds" "${as_user[@]}" &
driver=$!
wait "$driver"
status=$?
driver=""
exit "$status"
