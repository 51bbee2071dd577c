#!/usr/bin/env bash
# Starts the tool. When it was built to ask a lookup page on this machine (the default,
# 127.0.0.1:8091) and none is running there, a myip-page is started for the tool's lifetime.
set -euo pipefail
build=${1:-build}
host=$(sed -n 's/^LOOKUP_HOST:STRING=//p' "$build/CMakeCache.txt")
page_pid=
case "$host" in
127.0.0.1:*)
    port=${host#127.0.0.1:}
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        "$build/tools/myip-page" "$port" --loopback >/dev/null &
        page_pid=$!
        trap 'kill $page_pid 2>/dev/null || true' EXIT
    fi
    ;;
esac
status=0
"$build/app/hedu-transfer" || status=$?
exit $status
