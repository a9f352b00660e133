#!/usr/bin/env bash
# The handles of the band pane in the real window, maximised on a 1920 x 1080
# screen under a window manager: a block's dialog opens clear of the band
# pane, a drag of band 2's equaliser handle one octave up and upward moves
# the equaliser's frequency and gain, and one Ctrl+Z takes the whole drag
# back. Checked on the saved design with the command line. Exits 77
# (skipped) where no X server can be started.
#
#   handles.sh KESTRELVANE KESTRELVANE_CLI EXAMPLES_FOLDER OUTPUT_FOLDER
set -u
program=$1
cli=$2
examples=$3
output=$4
screen=1920x1080x24

source "$(dirname "$0")/xsession.sh"

design="$work/three-way.ksv"
cp "$examples/three-way.ksv" "$design" || fail "no example design"

# The first equaliser of band 2 (the midrange), as the saved file holds it:
# "freq gain".
band2_equaliser() {
    "$cli" info "$design" --json | grep -o '"peq":\[{[^}]*}' | sed -n 2p |
        sed 's/.*"gain":\([-0-9.e]*\),"freq":\([0-9.e]*\).*/\2 \1/'
}

read -r freq0 gain0 <<<"$(band2_equaliser)"
[ "$freq0" = "1100" ] && [ "$gain0" = "-2" ] ||
    fail "the example's midrange equaliser is not at 1100 Hz, -2 dB ($freq0 $gain0)"

start_window_manager || echo "no window manager: the window is sized to the screen instead"
"$program" "$design" >"$work/program.log" 2>&1 &
app=$!
main=$(window_named '^Kestrelvane \(HMQ27\) - Example 3-way')
[ -n "$main" ] || fail "the main window did not open with the example"
# A window's inside in screen pixels: sets X, Y, WIDTH and HEIGHT. Under a
# window manager xdotool counts the frame twice; xwininfo does not.
geometry_of() {
    if command -v xwininfo >/dev/null 2>&1; then
        eval "$(xwininfo -id "$1" | awk -F: '
            /Absolute upper-left X/ { print "X=" $2 } /Absolute upper-left Y/ { print "Y=" $2 }
            /Width/ { print "WIDTH=" $2 } /Height/ { print "HEIGHT=" $2 }' | tr -d ' ')"
    else
        eval "$(xdotool getwindowgeometry --shell "$1")"
    fi
}
if [ -n "$manager" ]; then
    # A double click on the title bar maximises the window.
    geometry_of "$main"
    xdotool mousemove $(( X + WIDTH / 2 )) $(( Y - 10 )) click --repeat 2 --delay 100 1
else
    xdotool windowmove "$main" 0 0 windowsize "$main" 100% 100%
fi
sleep 1
geometry_of "$main"
[ "$WIDTH" -ge 1900 ] && [ "$HEIGHT" -ge 1000 ] || fail "the window is not maximised (${WIDTH}x$HEIGHT)"
main_x=$X
main_y=$Y

# Band 2 into the band pane: a click on its EQ block selects it.
find_schematic "$main"
row=$(( (bottom - top + 1) / 3 ))
xdotool mousemove --window "$main" $(( left + 9 + 72 * 8 + 30 )) $(( top + row + (row - 60) / 2 + 30 ))
xdotool click 1
sleep 0.5

# The colours along a line of the window's screenshot: "position class"
# lines, m for the panes' margin, k for black, w for white, o for others.
# Takes convert's crop geometry and which coordinate is the position.
classify() {
    convert "$work/window.png" -crop "$1" -depth 8 txt:- | awk -F'[,: ]+' -v at="$2" '
        !/^#/ { print $at, $0 ~ /#DCE5F0/ ? "m" : $0 ~ /#000000/ ? "k" : $0 ~ /#FFFFFF/ ? "w" : "o" }'
}

# The first position where the frame's black meets the white inside and
# the last black before the margin outside: the two edges of the frame.
frame_edges() {
    awk '{ if (prev == "k" && $2 == "w" && !inner) inner = px;
           if (prev == "k" && $2 == "m" && inner) { outer = px; exit }
           prev = $2; px = $1 } END { print inner, outer }'
}

# The band pane's plot: the white area framed in black at the left of the
# window, found on a screenshot. Sets plot_left, plot_right, plot_top and
# plot_bottom (window pixels).
find_band_plot() {
    import -window "$main" "$work/window.png" || fail "no screenshot of the window"
    local width height
    read -r width height <<<"$(identify -format '%w %h' "$work/window.png")"
    read -r plot_left plot_right <<<"$(classify "$(( width / 2 ))x1+0+$(( height / 4 ))" 1 |
        frame_edges)"
    [ -n "$plot_left" ] && [ -n "$plot_right" ] || fail "the band pane's plot is not on the screen"
    read -r plot_top plot_bottom <<<"$(classify "1x${height}+$(( plot_left + 4 ))+0" 2 |
        frame_edges)"
    [ -n "$plot_top" ] && [ -n "$plot_bottom" ] || fail "the band pane's plot is not on the screen"
}

# The x of a frequency on the plot: 10 Hz at its left, 40 kHz at its right.
x_of() {
    awk -v f="$1" -v l="$plot_left" -v r="$plot_right" \
        'BEGIN { printf "%d", l + (r - l) * log(f / 10) / log(4000) + 0.5 }'
}

# The top of the handle's outline in a column: the first pixel of the
# handles' ink (32, 32, 96) below the plot's top.
handle_top_at() {
    convert "$work/window.png" -crop "1x$(( plot_bottom - plot_top - 4 ))+$1+$(( plot_top + 2 ))" \
        -depth 8 txt:- | awk -F'[,:() ]+' -v top="$(( plot_top + 2 ))" '
        !/^#/ { r = $3; g = $4; b = $5;
                   if ((r - 32)^2 + (g - 32)^2 + (b - 96)^2 < 60^2) { print top + $2; exit } }'
}

xdotool mousemove 1900 1070
sleep 0.3
find_band_plot
handle_x=$(x_of 1100)
handle_top=$(handle_top_at "$handle_x")
[ -n "$handle_top" ] || fail "no handle of the equaliser at 1100 Hz (x $handle_x)"
handle_y=$(( handle_top + 5 ))

# One octave to the right, and 4 dB up (the level axis spans 40 dB).
octave=$(awk -v l="$plot_left" -v r="$plot_right" 'BEGIN { printf "%d", (r - l) * log(2) / log(4000) + 0.5 }')
rise=$(( (plot_bottom - plot_top) / 10 ))
xdotool mousemove --window "$main" "$handle_x" "$handle_y"
sleep 0.3
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --window "$main" $(( handle_x + octave * step / 10 )) \
        $(( handle_y - rise * step / 10 ))
    sleep 0.05
done
sleep 0.3
import -window root "$output/handle-drag.png"
xdotool mouseup 1
sleep 0.3
focus "$main"
xdotool key ctrl+s
sleep 0.5
read -r freq gain <<<"$(band2_equaliser)"
awk -v f="$freq" -v g="$gain" 'BEGIN { exit !(f > 2100 && f < 2300 && g > 1.0 && g < 3.0) }' ||
    fail "the drag did not move the equaliser one octave up and 4 dB up (now $freq Hz, $gain dB)"

# One Ctrl+Z takes the whole drag back.
xdotool key ctrl+z
sleep 0.3
xdotool key ctrl+s
sleep 0.5
read -r freq gain <<<"$(band2_equaliser)"
[ "$freq" = "$freq0" ] && [ "$gain" = "$gain0" ] ||
    fail "one Ctrl+Z did not take the drag back (now $freq Hz, $gain dB)"

# The equaliser's dialog opens beside the band pane, not over it.
open_block "$main" 3 1 8
eq=$(window_named '^Parametric EQ$')
[ -n "$eq" ] || fail "a double click on the EQ block did not open Parametric EQ"
sleep 0.5
import -window root "$output/handles.png"
geometry_of "$eq"
pane_right=$(( main_x + plot_right ))
pane_bottom=$(( main_y + plot_bottom ))
[ "$X" -gt "$pane_right" ] || [ "$Y" -gt "$pane_bottom" ] ||
    fail "Parametric EQ opened over the band pane (at $X,$Y; the plot ends at $pane_right,$pane_bottom)"
[ $(( X + WIDTH )) -le 1920 ] && [ $(( Y + HEIGHT )) -le 1080 ] ||
    fail "Parametric EQ opened partly off the screen (at $X,$Y, ${WIDTH}x$HEIGHT)"
focus "$eq"
xdotool key Escape
sleep 0.3

echo "passed; screenshots in $output/handle-drag.png and $output/handles.png"
