#!/usr/bin/env bash
# Configures and builds into a folder: build.sh BUILD_DIR [extra cmake options...] [--target NAME...]
# Without --target everything is built: the program, the tests and the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
options=() targets=()
while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then
        targets+=(--target "$2"); shift 2
    else
        options+=("$1"); shift
    fi
done
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${options[@]+"${options[@]}"} >/dev/null
cmake --build "$dir" --parallel "$(nproc)" ${targets[@]+"${targets[@]}"}
