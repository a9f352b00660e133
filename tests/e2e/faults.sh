#!/usr/bin/env bash
# Faults users met in the real window, under Xvfb, driven with xdotool: a
# refused filter order must show exactly one message box however it is
# stepped, and a load that fails must keep the open design. Exits 77
# (skipped) where no X server can be started.
#
#   faults.sh KESTRELVANE KESTRELVANE_CLI OUTPUT_FOLDER
set -u
program=$1
cli=$2
output=$3

source "$(dirname "$0")/xsession.sh"

# One way with one biquad free: fourteen equalisers and a notch take fifteen.
design="$work/boxes.ksv"
"$cli" new --ways 1 --title Boxes -o "$design" >/dev/null || fail "could not make the design"
for f in $(seq 100 100 1400); do echo "Filter: ON PK Fc $f Hz Gain -1 dB Q 2"; done >"$work/filters.txt"
echo "Filter: ON NO Fc 3000 Hz Q 4" >>"$work/filters.txt"
"$cli" import-eq "$design" --band 1 "$work/filters.txt" -o "$design" >/dev/null ||
    fail "could not fill the band"

"$program" "$design" >"$work/program.log" 2>&1 &
app=$!
main=$(window_named '^Kestrelvane \(HMQ27\) - Boxes \[1 way')
[ -n "$main" ] || fail "the main window did not open with the design"

# HP1 on, as Linkwitz-Riley of order 2: the last biquad. Every step of its
# order up needs one more.
find_schematic "$main"
open_block "$main" 1 0 2
hp=$(window_named '^High-pass Filter\[1\]$')
[ -n "$hp" ] || fail "a double click on HP1 did not open its dialog"
focus "$hp"
xdotool key alt+e
sleep 0.3
xdotool key shift+Tab
# The order's field has the focus now: step it by key, then type into it.
for keys in "Up" "Prior" "8 Return" "6 Tab"; do
    [ "$keys" = "8 Return" ] || [ "$keys" = "6 Tab" ] && xdotool key ctrl+a
    xdotool key $keys
    sleep 1
    boxes=$(message_boxes)
    [ "$boxes" = 1 ] || fail "a refused order ($keys) shows $boxes message boxes"
    xdotool key Return
    sleep 1
    boxes=$(message_boxes)
    [ "$boxes" = 0 ] || fail "after OK, $boxes message boxes are still shown ($keys)"
    focus "$hp"
    [ "$keys" = "6 Tab" ] && xdotool key shift+Tab
done
xdotool key alt+o
sleep 0.5
focus "$main"
xdotool key ctrl+s
sleep 0.5
hp1=$("$cli" info "$design" --json | grep -o '"hpEnabled":\[[a-z]*' | cut -d'[' -f2)
order=$("$cli" info "$design" --json | grep -o '"hpFilter":\[{[^}]*"order":[0-9]*' |
    grep -o '[0-9]*$')
[ "$hp1" = true ] && [ "$order" = 2 ] ||
    fail "the band does not hold HP1 on at order 2 (enabled $hp1, order $order)"

# A file that is not a design: the open design stays, with its changes.
xdotool mousemove --window "$main" $(( left + 9 + 5 + 6 )) $(( top + (bottom - top + 1 - 60) / 2 + 48 ))
xdotool click 1
sleep 0.3
printf 'Frequency,SPL\n100,85\n' >"$work/text.ksv"
focus "$main"
xdotool key ctrl+o
sleep 0.5
# The design has unsaved changes: go on without saving.
[ "$(message_boxes)" = 1 ] || fail "Load did not ask about the unsaved design"
xdotool key alt+n
open=$(window_named '^Open$')
[ -n "$open" ] || fail "Ctrl+O did not open the file dialog"
focus "$open"
xdotool type --delay 5 "$work/text.ksv"
xdotool key Return
sleep 1
[ "$(message_boxes)" = 1 ] || fail "the failed load did not say so"
xdotool key Return
sleep 0.5
[ -n "$(window_named '^Kestrelvane \(HMQ27\) - Boxes\* \[1 way')" ] ||
    fail "the design is gone after a failed load"
focus "$main"
xdotool key ctrl+s
sleep 0.5
"$cli" info "$design" --json | grep -q '"muted":true' ||
    fail "the change made before the failed load was lost"

import -window root "$output/faults.png" || fail "no screenshot"
echo "passed"
