#!/usr/bin/env bash
# The whole road of a share, as a person takes it, on the real tool in a real X server:
# load a file through the dialog, copy the share address, download it with curl, clear,
# cancel a dialog, open and close the contact window, and leave with Esc.
# Usage: share_e2e.sh TOOL MYIP_PAGE LOOKUP_PORT   (TOOL built to ask 127.0.0.1:LOOKUP_PORT)
set -euo pipefail
# xdotool finds windows by their UTF-8 titles only under a UTF-8 locale.
export LC_ALL=C.UTF-8
trap 'echo "failed at line $LINENO: $BASH_COMMAND"' ERR
tool=$1
page=$2
lookup_port=$3
if [ -z "${DISPLAY_WRAPPED:-}" ]; then
    DISPLAY_WRAPPED=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

work=$(mktemp -d /tmp/hedu-e2e-XXXXXX)
pid=
page_pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$page_pid" ] && kill "$page_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$page" "$lookup_port" --loopback >/dev/null &
page_pid=$!
mkdir "$work/测"
file="$work/测/报告 1.pdf"
head -c 300000 /dev/urandom >"$file"

"$tool" &
pid=$!
main=$(timeout 20 xdotool search --sync --name '禾渡文件传送' | head -n 1)
# The window sits centred on the 1024 x 768 screen at 370,300.
click() { xdotool mousemove "$1" "$2" click 1; }
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort; }
other_window() { # waits for a second visible window of the tool and prints its id
    for _ in $(seq 1 100); do
        w=$(windows | grep -vx "$main" | head -n 1 || true)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
only_main_left() {
    for _ in $(seq 1 100); do
        [ "$(windows)" = "$main" ] && return 0
        sleep 0.1
    done
    return 1
}
download() { # OUTPUT_FILE HEADERS_FILE
    curl -s --max-time 20 -D "$2" -o "$1" "http://127.0.0.1:8090/share"
}

# Load: 载入文件, then the full path pasted into the dialog's name field, then Return.
printf '%s' "$file" | xclip -selection clipboard
click 610 385
dialog=$(other_window) || fail "no file dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.5
xdotool key ctrl+v
sleep 0.3
xdotool key Return
only_main_left || fail "the dialog stayed open"
sleep 1

# Copy: 复制地址 puts the share address on the clipboard.
click 626 420
sleep 0.5
address=$(xclip -o -selection clipboard)
echo "clipboard: $address"
[ "$address" = "http://127.0.0.1:8090/报告 1.pdf" ] || fail "clipboard holds '$address'"

download "$work/got" "$work/headers"
cmp "$work/got" "$file" || fail "the downloaded bytes differ from the file"
grep -q $'Content-Length: 300000\r' "$work/headers" || fail "wrong Content-Length"
grep -q $'Content-Type: application/x-pdf-compressed\r' "$work/headers" || fail "wrong Content-Type"

# Clear: 清除文件, and the next download is empty.
click 610 401
sleep 0.5
download "$work/got" "$work/headers"
grep -q $'Content-Length: 0\r' "$work/headers" || fail "no empty download after clear"

# Cancel a dialog: nothing changes.
click 610 385
dialog=$(other_window) || fail "no file dialog the second time"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.3
xdotool key Escape
only_main_left || fail "Esc did not cancel the dialog"
download "$work/got" "$work/headers"
grep -q $'Content-Length: 0\r' "$work/headers" || fail "a cancelled dialog changed the download"
kill -0 "$pid" || fail "the tool ended when the dialog was cancelled"

# The contact window opens over the main window and its close button closes only it.
click 572 309
contact=$(other_window) || fail "no contact window"
xdotool getwindowgeometry "$contact" | grep -q 'Geometry: 245x137' || fail "contact window size"
download "$work/got" "$work/headers" # downloads go on while it is open
click 625 323
only_main_left || fail "the contact window stayed open"
kill -0 "$pid" || fail "closing the contact window ended the tool"

# Esc on the main window ends the run with status 0.
xdotool mousemove 500 400
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key Escape
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "the tool did not end after Esc"
wait "$pid" || status=$?
pid=
echo "exit status $status"
[ "$status" -eq 0 ]
