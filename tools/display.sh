# A virtual X server for Wine's windows, for scripts to source. start_display exports DISPLAY.

start_display() {
    # the server picks a free display itself and tells which once it is ready, so that servers
    # started side by side never share one
    local ready
    ready=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
    DISPLAY_PID=$!
    for _ in $(seq 100); do
        if grep -q '^[0-9]\+$' "$ready" 2>/dev/null; then
            export DISPLAY=":$(cat "$ready")"
            rm -f "$ready"
            return 0
        fi
        kill -0 "$DISPLAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$ready"
    echo "display: Xvfb did not start" >&2
    return 1
}

stop_display() {
    [ -n "${DISPLAY_PID:-}" ] && kill "$DISPLAY_PID" 2>/dev/null || true
    DISPLAY_PID=
}
