#!/usr/bin/env bash
# Takes the README's screenshots of the real program on a virtual display:
#   docs/screenshots/main-menu.png, legal-pages.png and bulk.png
# Builds into build/ first (only what changed). The pictures show a user's folders, not this
# repository: the example articles and site are copied into /home/user/Articles and
# /home/user/Site, made for the occasion on a private /home (as root, in a mount namespace of
# this script's own), or else into a temporary folder. The program starts in Articles; the legal
# pages window is moved to Site, a page ticked and the site's fields filled, all with keys.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${CW_SHOTS_HOME:-}" ] && [ "$(id -u)" -eq 0 ] &&
    unshare --mount --propagation private true 2>/dev/null; then
    exec unshare --mount --propagation private env CW_SHOTS_HOME=private "$0" "$@"
fi
"$root/scripts/install-deps.sh"
if ! command -v import >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends imagemagick
fi
"$root/scripts/build.sh" "$root/build" --target clausewright

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

if [ "${CW_SHOTS_HOME:-}" = private ]; then
    mount -t tmpfs -o mode=0755 tmpfs /home
    home=/home/user
else
    home="$(mktemp -d)/user"
fi
mkdir -p "$home/Articles" "$home/Site"
cp "$root"/examples/articles/*.txt "$home/Articles/"
cp -r "$root"/examples/site/. "$home/Site/"

cd "$home/Articles"
"$root/build/clausewright" &
app=$!

keys() { # WID KEY...: keys pressed in window WID
    local wid=$1
    shift
    xdotool windowfocus --sync "$wid"
    xdotool key --delay 60 "$@"
}

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
# Up from Articles to the home folder, open it, then open Site below it.
keys "$legal" alt+f Up Return End Return
# Tick "Privacy Policy" (the ninth page) and fill in the site.
keys "$legal" alt+p Home Down Down Down Down Down Down Down Down space
keys "$legal" alt+n
xdotool type --delay 20 "Kitchen Garden Notes"
keys "$legal" alt+u
xdotool type --delay 20 "https://kitchen-garden.example"
keys "$legal" alt+m
xdotool type --delay 20 "hello@kitchen-garden.example"
shoot "$legal" legal-pages.png

# "Add Legal Terms to Articles (.txt)": a modal window.
xvfb_click_twips "$menu" 1395 2430 7125 690
bulk=$(xvfb_window '^Add Legal Terms and Conditions to Articles')
[ -n "$bulk" ] || { echo "the bulk article window did not appear" >&2; exit 1; }
sleep 1.5 # the synonyms load and their busy label goes
keys "$bulk" alt+l
xdotool type --delay 20 "Burr Grinder,Hand Grinder"
shoot "$bulk" bulk.png
xdotool windowfocus --sync "$bulk" key Escape
if ! xvfb_gone "$bulk" 3; then
    xvfb_click_twips "$bulk" 5490 8100 6360 645 # its Close button
    xvfb_gone "$bulk" 3 || echo "the bulk article window did not close" >&2
fi
