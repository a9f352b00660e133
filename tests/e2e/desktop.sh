#!/usr/bin/env bash
# The real desktop program under Xvfb, used with the keyboard and the mouse
# through xdotool as a user would; the files it writes are checked with the
# command line. Exits 77 (skipped) where no X server can be started.
#
#   desktop.sh KESTRELVANE KESTRELVANE_CLI OUTPUT_FOLDER
set -u
program=$1
cli=$2
output=$3

source "$(dirname "$0")/xsession.sh"

design="$work/design.ksv"
"$cli" new --ways 3 --title Start -o "$design" || fail "could not make the design"

"$program" "$design" >"$work/program.log" 2>&1 &
app=$!
main=$(window_named '^Kestrelvane \(HMQ27\) - Start \[3 way, 24 bits @ 96 kHz\]$')
[ -n "$main" ] || fail "the main window did not open with the design"

# Change the title with the keyboard: Edit menu, Change Title, type, Enter.
focus "$main"
xdotool key alt+e
sleep 0.3
xdotool key t
dialog=$(window_named '^New Title$')
[ -n "$dialog" ] || fail "Change Title did not open its dialog"
focus "$dialog"
xdotool key ctrl+a
xdotool type --delay 10 "Keyboard Edited"
xdotool key Return
[ -n "$(window_named 'Keyboard Edited')" ] || fail "the window title did not follow the new title"

# Save with the keyboard and check the file.
focus "$main"
xdotool key ctrl+s
sleep 0.5
"$cli" info "$design" --json | grep -q '"title":"Keyboard Edited"' ||
    fail "the saved file does not hold the new title"

# Mute band 2 with a click on its mute box, found from the schematic's
# geometry: three equal rows, the box 14 pixels right of the pane's edge and
# 42 below its block's top.
find_schematic "$main"
row=$(( (bottom - top + 1) / 3 ))
x=$(( left + 9 + 5 + 6 ))
y=$(( top + row + (row - 60) / 2 + 42 + 6 ))
xdotool mousemove --window "$main" "$x" "$y" click 1
sleep 0.3
# Alt+S is the Save button's mnemonic.
focus "$main"
xdotool key alt+s
sleep 0.5
mutes=$("$cli" info "$design" --json | grep -o '"muted":[a-z]*' | cut -d: -f2 | tr '\n' ' ')
[ "$mutes" = "false true false " ] || fail "the click did not mute band 2 alone (muted: $mutes)"

# Double click band 1's EQ block, switch its first equaliser on and type its
# gain, all with the keyboard, keep it with OK and save.
open_block "$main" 3 0 8
eq=$(window_named '^Parametric EQ$')
[ -n "$eq" ] || fail "a double click on the EQ block did not open Parametric EQ"
focus "$eq"
xdotool key space Tab Tab Tab
xdotool key ctrl+a
xdotool type --delay 10 -- "-4.5"
xdotool key Return alt+o
sleep 0.3
focus "$main"
xdotool key ctrl+s
sleep 0.5
first=$("$cli" info "$design" --json | grep -o '"peq":\[{[^}]*}' | head -n1)
[ "$first" = '"peq":[{"gain":-4.5,"freq":88.39,"q":1,"enabled":true}' ] ||
    fail "the equaliser typed in the dialog is not in the saved file ($first)"

import -window root "$output/desktop.png" || fail "no screenshot"
[ -s "$output/desktop.png" ] || fail "empty screenshot"

# Esc quits; the design is saved, so nothing is asked.
focus "$main"
xdotool key Escape
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Esc did not end the program"
app=""
grep -q 'Visible%20PIR%20Length=20' "$XDG_CONFIG_HOME/Veldrasound/Kestrelvane.conf" ||
    fail "the settings were not written on close"
echo "passed; screenshot in $output/desktop.png"
