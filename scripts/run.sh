#!/usr/bin/env bash
# Installs what is missing, builds, and starts Clausewright in examples/articles, so the bulk
# article window lists the example articles straight away.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# Only the program and its data files: the tests and the benchmark are left for test.sh.
"$root/scripts/build.sh" "$root/build" --target clausewright
cd "$root/examples/articles"
exec "$root/build/clausewright"
