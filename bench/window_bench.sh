#!/usr/bin/env bash
# Times the bulk window end to end on a virtual display, against `cp -r` of the same folder, and
# reads the program's memory after the run.
#
#   bench/window_bench.sh BUILD_DIR [N] [FOLDER]
#
# Makes N articles (default 100000) in FOLDER (default /dev/shm), starts the program there, opens
# "Add Legal Terms to Articles (.txt)", types a link text, presses "Begin Process" and waits for
# "Process Complete". Prints the time from the press to the message, the time of `cp -r`, their
# ratio, and the program's resident memory once the run is over.
set -euo pipefail
build="$(cd "$1" && pwd)"
count="${2:-100000}"
base="${3:-/dev/shm}"
root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=scripts/xvfb-session.sh
. "$root/scripts/xvfb-session.sh"

work=$(mktemp -d "$base/cw_window-XXXXXX")
# Waits for the program alone: a bare `wait` would also wait for the virtual display, which only
# xvfb_stop ends.
trap '[ -n "${app:-}" ] && { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null || true; }; xvfb_stop; rm -rf "$work"' EXIT
mkdir "$work/Articles"
python3 - "$work/Articles" "$count" <<'PY'
import sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    text = ("Trading currencies takes patience. Article %d explains how a small account grows "
            "with careful risk management.\r\n\r\n" % i) * 35
    with open("%s/article-%06d.txt" % (folder, i), "w", newline="") as f:
        f.write(text[:4000])
PY
find "$work/Articles" -type f -exec cat {} + >/dev/null

start=$(date +%s.%N)
cp -r "$work/Articles" "$work/copy"
copy=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
rm -rf "$work/copy"

xvfb_start
cd "$work/Articles"
"$build/clausewright" &
app=$!
menu=$(xvfb_window '^Clausewright$' 20)
xvfb_click_twips "$menu" 1395 2430 7125 690
bulk=$(xvfb_window '^Add Legal Terms' 60)
# The link text field of the recommendation panel (panel at 5490, 1035; field at 1170, 3240).
xvfb_click_twips "$bulk" $((5490 + 1170)) $((1035 + 3240)) 4560 375
xdotool type --delay 20 'Robot'
opened=$(awk '/^VmRSS/ {print $2}' "/proc/$app/status")
start=$(date +%s.%N)
xvfb_click_twips "$bulk" 5490 6075 3390 600
xvfb_window '^Process Complete$' 600 >/dev/null
run=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$app/status")
printf 'articles:             %d\n' "$count"
printf 'cp -r:                %.2f s\n' "$copy"
printf 'window, press to end: %.2f s (%.2f times cp -r)\n' "$run" \
    "$(awk -v a="$run" -v b="$copy" 'BEGIN { print a / b }')"
printf 'program memory:       %d KB with the folder listed, %d KB after the run\n' "$opened" "$rss"
