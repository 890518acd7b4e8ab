#!/usr/bin/env bash
# Takes the README's pictures of what the program does to a site, with Debian's chromium: a legal
# page in the look of examples/site, and the consent banner on that site's home page.
#   scripts/site-screenshots.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(cd "$1" && pwd)/clausewright"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$root/examples/site" "$work/site"
"$program" facts "$work/site" > "$work/facts.toml"
"$program" pages "$work/site" --facts "$work/facts.toml" --page "Privacy Policy" \
    --page "Cookie Policy" --page "Your Privacy Choices" --page "Terms Of Use" --draft \
    --site-name "Plain Living Notes" --site-url https://plainliving.example \
    --email hello@plainliving.example --layout index.html --place-links > /dev/null
shot() { # URL FILE
    chromium --headless=new --no-sandbox --disable-gpu --no-first-run --hide-scrollbars \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" --window-size=1000,760 --virtual-time-budget=3000 \
        --screenshot="$2" "$1" 2> /dev/null
}
shot "file://$work/site/privacy-policy.html" "$root/docs/screenshots/site-legal-page.png"
"$program" pages "$work/site" --facts "$work/facts.toml" --consent 2> /dev/null
shot "file://$work/site/index.html" "$root/docs/screenshots/site-consent-banner.png"
