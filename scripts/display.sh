# Sourced: makes sure a display exists. Without one, starts Xvfb on a free display number
# and stops it when the calling script exits.
quell_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n=99
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUELL_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    echo "No display here: started Xvfb on $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)" >&2
}

quell_stop_display() {
    if [ -n "${QUELL_XVFB_PID:-}" ]; then
        kill "$QUELL_XVFB_PID" 2>/dev/null || true
    fi
}
