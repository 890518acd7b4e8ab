#!/usr/bin/env bash
# Starts the real program on a virtual X display, finds its main menu, presses "Close App" and
# checks that the program ends at once with exit status 0.
set -u
exe="$1"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xdpyinfo >/dev/null ||
    { echo "Xvfb, xdotool or xdpyinfo missing: skipped"; exit 77; }

export XDG_RUNTIME_DIR=$(mktemp -d)
display=""
for n in $(seq 70 99); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.05; done
export DISPLAY="$display"
unset QT_QPA_PLATFORM

"$exe" &
apid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Clausewright$' | head -1)
[ -n "$wid" ] || { echo "the main menu did not appear"; kill $apid; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$wid")"
# "Close App" lies at 1395, 3420 twips (15 twips a pixel on this display).
xdotool mousemove --sync $((X + 1395 / 15 + 20)) $((Y + 3420 / 15 + 20)) click 1
for _ in $(seq 100); do kill -0 $apid 2>/dev/null || break; sleep 0.05; done
if kill -0 $apid 2>/dev/null; then
    echo "the program did not end after Close App"
    kill $apid
    exit 1
fi
wait $apid
status=$?
echo "Close App ended the program with status $status"
[ $status -eq 0 ]
