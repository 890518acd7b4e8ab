#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, when any is missing,
# and the consent banner's library from the npm registry (pinned by consent/package-lock.json).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
packages=(build-essential cmake ninja-build qt6-base-dev xvfb xauth xdotool x11-utils
          fonts-dejavu-core fonts-liberation2 dpkg-dev file lintian appstream
          libtomlplusplus-dev libgumbo-dev tidy
          chromium chromium-driver python3-selenium openssl)
# npm may come with a nodejs package of another origin; Debian's npm only where there is none.
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ! -f "$root/consent/node_modules/vanilla-cookieconsent/dist/cookieconsent.umd.js" ]; then
    echo "Fetching the consent banner's library (npm ci in consent/)"
    (cd "$root/consent" && npm ci --ignore-scripts --no-audit --no-fund)
fi
