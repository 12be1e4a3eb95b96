#!/usr/bin/env bash
# The program as a reader starts it, under Xvfb (run by xvfb-run): its window appears, a
# headword typed into it is shown, and the window's Copy puts it on the X clipboard.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/config "$program" &
pid=$!

# Only once it is mapped: focusing a window that is named but not yet viewable is an X error.
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Termdex$' | head -n 1)
[[ -n "$window" ]] || { echo "no Termdex window"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5
# The entry field has the focus at start; click into it to be sure (Panel2 + Entry_Text).
xdotool mousemove --window "$window" 60 66 click 1
xdotool type --delay 40 "Inflation"
# Copy_Button at (164, 2), 36 x 39: with the list's first item selected it copies the headword.
# The window handles the click after the keys; a machine under load may take a while.
copied=
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --window "$window" 182 21 click 1
    copied=$(timeout 10 xclip -o -selection clipboard 2>/dev/null || true)
    [[ "$copied" == "Inflation" ]] && break
    sleep 0.5
done
[[ "$copied" == "Inflation" ]] || { echo "clipboard holds '$copied', not 'Inflation'"; exit 1; }
kill -0 "$pid" || { echo "the program ended"; exit 1; }
echo "Termdex started, showed Inflation and copied it"
