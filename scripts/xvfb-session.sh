# shellcheck shell=bash
# Sourced by scripts that drive the real program on a virtual X display (Xvfb, no window manager).
#   xvfb_start                   starts Xvfb on a free display, exports DISPLAY, and has Qt
#                                programs started from now on show their windows there
#   xvfb_stop                    ends that Xvfb
#   xvfb_window REGEX [SECONDS]  prints the id of the first visible window whose title matches
#   xvfb_click_twips WID LEFT TOP WIDTH HEIGHT
#                                clicks the middle of a control given in twips in window WID
#   xvfb_gone WID [SECONDS]      succeeds once window WID is no longer visible
# Needs xvfb, xdotool and x11-utils (xdpyinfo).

XVFB_PID=""

xvfb_start() {
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/xdg-$(id -u)}"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"
    local n _
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 200); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                # Another run may have taken the display at the same moment: ours must be alive.
                sleep 0.1
                if kill -0 "$XVFB_PID" 2>/dev/null; then
                    export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
                    return 0
                fi
                break
            fi
            sleep 0.05
        done
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    echo "no free X display for Xvfb" >&2
    return 1
}

xvfb_stop() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

xvfb_window() {
    timeout "${2:-10}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1
}

xvfb_click_twips() {
    local wid=$1 left=$2 top=$3 width=$4 height=$5 X Y
    eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^[XY]=')"
    xdotool windowraise "$wid"
    xdotool mousemove --sync $((X + (left + width / 2) / 15)) $((Y + (top + height / 2) / 15)) \
        click 1
}

xvfb_gone() {
    local wid=$1 _
    for _ in $(seq $((${2:-5} * 10))); do
        xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$wid" || return 0
        sleep 0.1
    done
    return 1
}
