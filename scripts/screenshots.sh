#!/usr/bin/env bash
# Takes the README's screenshots of the real program on a virtual display:
#   docs/screenshots/main-menu.png, legal-pages.png and bulk.png
# Builds into build/ first (only what changed), and starts the program in examples/articles so the
# bulk window lists the example articles.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
if ! command -v import >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends imagemagick
fi
"$root/scripts/build.sh" "$root/build"

# shellcheck source=scripts/xvfb-session.sh
. "$root/scripts/xvfb-session.sh"
out="$root/docs/screenshots"
mkdir -p "$out"
app=""
finish() {
    local rc=$?
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    xvfb_stop
    exit "$rc"
}
trap finish EXIT
xvfb_start

cd "$root/examples/articles"
"$root/build/clausewright" &
app=$!

shoot() { # WID FILE
    sleep 0.7 # let the window paint
    import -window "$1" "$out/$2"
    echo "wrote docs/screenshots/$2"
}

menu=$(xvfb_window '^Clausewright$')
[ -n "$menu" ] || { echo "the main menu did not appear" >&2; exit 1; }
shoot "$menu" main-menu.png

# "Add Legal Pages to Website": a window of its own.
xvfb_click_twips "$menu" 1395 1485 7125 690
legal=$(xvfb_window '^Add Legal Pages to Website')
[ -n "$legal" ] || { echo "the legal pages window did not appear" >&2; exit 1; }
shoot "$legal" legal-pages.png

# "Add Legal Terms to Articles (.txt)": a modal window.
xvfb_click_twips "$menu" 1395 2430 7125 690
bulk=$(xvfb_window '^Add Legal Terms and Conditions to Articles')
[ -n "$bulk" ] || { echo "the bulk article window did not appear" >&2; exit 1; }
shoot "$bulk" bulk.png
xdotool windowfocus --sync "$bulk" key Escape
if ! xvfb_gone "$bulk" 3; then
    xvfb_click_twips "$bulk" 5490 8100 6360 645 # its Close button
    xvfb_gone "$bulk" 3 || echo "the bulk article window did not close" >&2
fi
