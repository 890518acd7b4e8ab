#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once plain, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. GUI tests run offscreen. The plain build is also
# packed and its packages checked.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen

echo "== Plain build =="
"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure --parallel 2

echo "== Debian package and .tar.gz =="
"$root/packaging/test-package.sh" "$root/build"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build =="
"$root/scripts/build.sh" "$root/build-asan" -DCW_SANITIZE=ON
ctest --test-dir "$root/build-asan" --output-on-failure --parallel 2
