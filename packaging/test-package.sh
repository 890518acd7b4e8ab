#!/usr/bin/env bash
# Builds the Debian package and the .tar.gz from a configured and built folder and checks them:
#   packaging/test-package.sh BUILD_DIR [--apt]
# - lintian reports no errors on the .deb;
# - the .deb holds the program with its data files beside it, a working /usr/bin link, a desktop
#   entry whose command and icon are in the package, AppStream metainfo that appstreamcli accepts
#   and whose screenshots are the README's, and depends on the package of every shared library the
#   program loads and on the font the windows are measured for;
# - the program unpacked from the .deb, and from the .tar.gz unpacked into an unrelated folder,
#   starts on a virtual display from its own folder, shows the main menu, and opens both windows
#   without an "Error" message;
# - with --apt (changes this machine): `apt-get install ./clausewright_*.deb` installs it, the
#   `clausewright` command starts, and purging it leaves none of its files behind.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
apt_too=no
[ "${2:-}" = "--apt" ] && apt_too=yes

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
ok() { echo "ok: $*"; }

scratch=$(mktemp -d)
app=""
# shellcheck source=scripts/xvfb-session.sh
. "$root/scripts/xvfb-session.sh"
finish() {
    local rc=$?
    stop_app
    xvfb_stop
    rm -rf "$scratch"
    exit "$rc"
}
stop_app() {
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
        app=""
    fi
}
trap finish EXIT

echo "== Packing =="
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB && cpack -G TGZ) >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
debs=("$build"/packages/clausewright_*_*.deb)
tgzs=("$build"/packages/clausewright-*.tar.gz)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "expected one .deb in $build/packages"; fi
if [ ${#tgzs[@]} -ne 1 ] || [ ! -f "${tgzs[0]}" ]; then fail "expected one .tar.gz in $build/packages"; fi
deb=${debs[0]}
tgz=${tgzs[0]}
ok "packed $(basename "$deb") and $(basename "$tgz")"

echo "== lintian =="
lintian_out=$(lintian "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -n "$lintian_out" ] && echo "$lintian_out"
if echo "$lintian_out" | grep -q '^E:'; then
    fail "lintian reports errors"
fi
ok "lintian reports no errors"

echo "== Contents of the .deb =="
droot="$scratch/deb"
dpkg -x "$deb" "$droot"
progdir="$droot/usr/lib/clausewright"
[ -x "$progdir/clausewright" ] || fail "no program in /usr/lib/clausewright"
[ -L "$droot/usr/bin/clausewright" ] || fail "/usr/bin/clausewright is not a link"
[ "$(readlink -f "$droot/usr/bin/clausewright")" = "$progdir/clausewright" ] ||
    fail "/usr/bin/clausewright does not lead to /usr/lib/clausewright/clausewright"
diff -r "$root/templates" "$progdir/templates" || fail "templates/ beside the program differs"
cmp "$root/rwdb.txt" "$progdir/rwdb.txt" || fail "rwdb.txt beside the program differs"
version=$(dpkg-deb -f "$deb" Version)
top_entry=$(zcat "$droot/usr/share/doc/clausewright/changelog.gz" | head -1)
[[ "$top_entry" == "clausewright ($version) "* ]] ||
    fail "the changelog's latest entry is not for $version: $top_entry"
zcat "$droot/usr/share/man/man1/clausewright.1.gz" | grep -q "Clausewright $version" ||
    fail "the manual page does not name version $version"
ok "changelog and manual page are for version $version"
ok "program, templates/ and rwdb.txt together in /usr/lib/clausewright, /usr/bin link works"

desktop="$droot/usr/share/applications/clausewright.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -e "$droot/usr/bin/$exec_cmd" ] || fail "desktop entry runs '$exec_cmd', not in /usr/bin"
for size in 16 32 48 256; do
    [ -f "$droot/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] ||
        fail "no ${size}x${size} icon '$icon'"
done
[ -f "$droot/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
grep -q '^Categories=.*Office;' "$desktop" || fail "desktop entry is not in Office"
ok "desktop entry runs $exec_cmd, icon $icon in every size"

metainfo=("$droot"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "no AppStream metainfo in /usr/share/metainfo"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli rejects the metainfo"
grep -qF "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "${metainfo[0]}" ||
    fail "the metainfo does not launch $(basename "$desktop")"
shots=$(grep -o 'screenshots/[a-z-]*\.png' "${metainfo[0]}" | sort -u)
[ -n "$shots" ] || fail "the metainfo shows no screenshots"
for shot in $shots; do
    [ -f "$root/docs/$shot" ] || fail "the metainfo shows $shot, which docs/ does not hold"
done
ok "AppStream metainfo $(basename "${metainfo[0]}") validates, with $(echo "$shots" | wc -l) screenshots"

depends=$(dpkg-deb -f "$deb" Depends)
# The package names in Depends, one a line, without versions or architectures.
depends_names=$(echo "$depends" | tr ',|' '\n' | sed 's/(.*)//; s/:.*//; s/[[:space:]]//g')
owner() { # the package that installed a file, found by its path or by the path it resolves to
    local p
    for p in "$1" "$(readlink -f "$1")" "/usr$1" "${1#/usr}"; do
        dpkg -S "$p" 2>/dev/null | head -1 | cut -d: -f1 && return 0
    done
    return 1
}
while read -r lib path; do
    if [ -z "$path" ] || [ "$path" = "not" ]; then fail "the program needs $lib, not found here"; fi
    pkg=$(owner "$path") || fail "no package owns $path"
    grep -qxF "$pkg" <<<"$depends_names" ||
        fail "the program needs $lib from $pkg, which Depends does not name: $depends"
done < <(
    # The libraries the program itself names (not theirs), and where they are found here.
    ldd "$progdir/clausewright" | awk '/=>/ { print $1, $3 }' |
        grep -F -f <(objdump -p "$progdir/clausewright" | awk '/NEEDED/ { print $2 " " }')
)
grep -qxF fonts-liberation2 <<<"$depends_names" ||
    fail "Depends does not name fonts-liberation2, the font the windows are measured for"
ok "Depends names the package of every shared library and the font: $depends"

# Starts a program folder's clausewright through LAUNCHER on the virtual display, in folder CWD.
# Checks it runs from PROGDIR, shows its main menu, and opens both windows without an "Error".
check_running() {
    local launcher=$1 expect=$2 cwd=$3 menu bulk legal exe
    (cd "$cwd" && exec "$launcher") >"$scratch/app.log" 2>&1 &
    app=$!
    menu=$(xvfb_window '^Clausewright$' 15)
    [ -n "$menu" ] || { cat "$scratch/app.log"; fail "no main menu from $launcher"; }
    exe=$(readlink "/proc/$app/exe")
    [ "$exe" = "$expect" ] || fail "running $exe, expected $expect"

    xvfb_click_twips "$menu" 1395 2430 7125 690
    bulk=$(xvfb_window '^Add Legal Terms and Conditions to Articles' 10)
    [ -n "$bulk" ] || fail "the bulk article window did not open"
    sleep 1
    [ -z "$(xvfb_window '^Error$' 1)" ] || fail "the bulk article window shows an Error message"
    xdotool windowfocus --sync "$bulk" key Escape
    if ! xvfb_gone "$bulk" 3; then
        xvfb_click_twips "$bulk" 5490 8100 6360 645
        xvfb_gone "$bulk" 3 || fail "the bulk article window did not close"
    fi

    xvfb_click_twips "$menu" 1395 1485 7125 690
    legal=$(xvfb_window '^Add Legal Pages to Website' 10)
    [ -n "$legal" ] || fail "the legal pages window did not open"
    sleep 1
    [ -z "$(xvfb_window '^Error$' 1)" ] || fail "the legal pages window shows an Error message"
    kill -0 "$app" 2>/dev/null || { cat "$scratch/app.log"; fail "the program ended"; }
    stop_app
}

echo "== Running the unpacked programs =="
xvfb_start
work="$scratch/work folder"
mkdir -p "$work"
cp "$root"/examples/articles/*.txt "$work/"
check_running "$droot/usr/bin/clausewright" "$progdir/clausewright" "$work"
ok "the .deb's program starts from its own folder, shows the menu and both windows"

# The command line finds the data files through the bin/ link too, and needs no display.
pages=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$droot/usr/bin/clausewright" pages --list-pages) || fail "clausewright pages --list-pages failed"
grep -q "^Privacy Policy" <<<"$pages" || fail "the command line does not list the legal pages"
ok "the .deb's command line lists the legal pages without a display"

troot="$scratch/somewhere else"
mkdir -p "$troot"
tar -xzf "$tgz" -C "$troot"
ttop=("$troot"/clausewright-*)
[ -f "${ttop[0]}/lib/clausewright/rwdb.txt" ] || fail "no rwdb.txt beside the program in the .tar.gz"
[ -d "${ttop[0]}/lib/clausewright/templates" ] || fail "no templates/ in the .tar.gz"
check_running "${ttop[0]}/bin/clausewright" "${ttop[0]}/lib/clausewright/clausewright" "$work"
ok "the .tar.gz's program starts wherever it is unpacked"

# The Error checks above only prove something if a program without its data says so.
bare="$scratch/bare"
mkdir -p "$bare"
cp "$progdir/clausewright" "$bare/"
(cd "$work" && exec "$bare/clausewright") >/dev/null 2>&1 &
app=$!
menu=$(xvfb_window '^Clausewright$' 15)
if [ -n "$menu" ]; then
    xvfb_click_twips "$menu" 1395 2430 7125 690
    xvfb_window '^Add Legal Terms and Conditions to Articles' 10 >/dev/null
    if [ -n "$(xvfb_window '^Error$' 2)" ]; then
        ok "without its data files the program shows an Error message, so the checks above hold"
    else
        echo "note: without its data files the program shows no Error message yet"
    fi
fi
stop_app

if [ "$apt_too" = yes ]; then
    echo "== apt-get install and purge =="
    pkg_files=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '/$')
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
    [ "$(readlink -f "$(command -v clausewright)")" = /usr/lib/clausewright/clausewright ] ||
        fail "the clausewright command does not lead to /usr/lib/clausewright"
    check_running /usr/bin/clausewright /usr/lib/clausewright/clausewright "$work"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq clausewright >/dev/null
    for f in $pkg_files; do
        if [ -e "$f" ] || [ -L "$f" ]; then fail "$f is left after purging"; fi
    done
    [ ! -e /usr/lib/clausewright ] || fail "/usr/lib/clausewright is left after purging"
    ok "installs with apt, runs as clausewright, and purges cleanly"
fi
echo "package checks passed"
