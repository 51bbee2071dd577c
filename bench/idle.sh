#!/usr/bin/env bash
# CPU used by the running tool at rest (window open, pointer still over it, no downloads) over
# 10 seconds, in a real X server. Usage: bench/idle.sh TOOL
set -euo pipefail
# xdotool finds windows by their UTF-8 titles only under a UTF-8 locale.
export LC_ALL=C.UTF-8
tool=$1
if [ -z "${DISPLAY_WRAPPED:-}" ]; then
    DISPLAY_WRAPPED=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
"$tool" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
timeout 20 xdotool search --sync --name '禾渡文件传送' >/dev/null
xdotool mousemove 610 385 # over 载入文件, so the hover timer has a lit label to keep
sleep 2
clk=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
awk -v t=$((after - before)) -v clk="$clk" 'BEGIN { printf "bench: idle_cpu_percent %.1f\n", 100 * t / clk / 10 }'
