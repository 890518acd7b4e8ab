#!/usr/bin/env bash
# Starts the real program and checks that it comes up and stays up with its main menu.
set -u
exe="$1"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$exe" >"$log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "clausewright ended early with status $?"
    cat "$log"
    exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null
if grep -q -i -E 'error|cannot|failed' "$log"; then
    echo "clausewright printed problems:"
    cat "$log"
    exit 1
fi
echo "clausewright came up and stayed up"
