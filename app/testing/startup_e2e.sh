#!/usr/bin/env bash
# Starts the real tool in a real X server, closes it at once with Esc, and expects status 0.
set -euo pipefail
# xdotool finds windows by their UTF-8 titles only under a UTF-8 locale.
export LC_ALL=C.UTF-8
trap 'echo "failed at line $LINENO: $BASH_COMMAND"' ERR
binary=$1
if [ -z "${DISPLAY_WRAPPED:-}" ]; then
    DISPLAY_WRAPPED=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

"$binary" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=$(timeout 20 xdotool search --sync --name '禾渡文件传送' | head -n 1)
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
# Centred on the 1024 x 768 screen: (1024 - 283) / 2 and (768 - 168) / 2.
grep -q 'Position: 370,300' <<<"$geometry" || { echo "window not centred"; exit 1; }
grep -q 'Geometry: 283x168' <<<"$geometry" || { echo "window not 283 x 168"; exit 1; }

position() { xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*,[0-9]*\).*/\1/p'; }
drag() { # FROM_X FROM_Y TO_X TO_Y
    xdotool mousemove "$1" "$2" mousedown 1
    sleep 0.2
    xdotool mousemove "$(( ($1 + $3) / 2 ))" "$(( ($2 + $4) / 2 ))"
    sleep 0.1
    xdotool mousemove "$3" "$4"
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
}
# Dragging the banner moves the window with the pointer.
drag 470 340 530 370
[ "$(position)" = "430,330" ] || { echo "banner drag moved the window to $(position)"; exit 1; }
# A press on a caption label does not.
drag 445 419 505 449
[ "$(position)" = "430,330" ] || { echo "label drag moved the window to $(position)"; exit 1; }

# The download server answers while the window is open: nothing loaded yet.
headers=$(curl -s --max-time 10 -D - -o /dev/null http://127.0.0.1:8090/anything) ||
    { echo "no answer on port 8090 (is another program using it?)"; exit 1; }
echo "$headers"
grep -q $'Content-Length: 0\r' <<<"$headers" || { echo "no download response on port 8090"; exit 1; }

xdotool mousemove 571 413
xdotool key Escape
status=0
timeout 10 tail --pid=$pid -f /dev/null || { echo "tool did not exit after Esc"; exit 1; }
wait $pid || status=$?
trap - EXIT
echo "exit status $status"
[ "$status" -eq 0 ]
