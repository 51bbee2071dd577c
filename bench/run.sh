#!/usr/bin/env bash
# Serves the same files from our TcpServer (bench/ServeBench.cpp) and from nginx (sendfile on,
# one worker) on loopback, and prints the figures side by side. Usage: bench/run.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
serve=$build/bench/serve-bench
fetch=$build/bench/fetch-bench
our_port=18090
nginx_port=18091
clk=$(getconf CLK_TCK)

work=$(mktemp -d /tmp/hedu-bench-XXXXXX)
our_pid=
nginx_pid=
cleanup() {
    [ -n "$our_pid" ] && kill "$our_pid" 2>/dev/null || true
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/nginx"
echo "bench: making test files in $work"
head -c $((1024 * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
head -c $((256 * 1024 * 1024)) /dev/urandom >"$work/www/mid.bin"
head -c 1024 /dev/urandom >"$work/www/small.bin"

cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
user root;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
    sendfile on;
    tcp_nopush on;
    access_log off;
    keepalive_timeout 0;
    default_type application/octet-stream;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    server {
        listen 127.0.0.1:$nginx_port;
        root $work/www;
    }
}
CONF

wait_port() {
    for _ in $(seq 1 200); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 0; fi
        sleep 0.05
    done
    echo "bench: nothing listens on port $1" >&2
    return 1
}
cpu_seconds() { awk -v clk="$clk" '{ printf "%.3f", ($14 + $15) / clk }' "/proc/$1/stat"; }
peak_rss_mib() { awk '/VmHWM/ { printf "%d", $2 / 1024 }' "/proc/$1/status"; }
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }

start_ours() { # FILE
    "$serve" "$our_port" "$1" >/dev/null &
    our_pid=$!
    wait_port "$our_port"
}
stop_ours() { kill "$our_pid"; wait "$our_pid" || true; our_pid=; }
start_nginx() {
    nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
    nginx_pid=$!
    wait_port "$nginx_port"
    nginx_worker=$(pgrep -P "$nginx_pid" | head -n 1)
}
stop_nginx() { kill "$nginx_pid"; wait "$nginx_pid" || true; nginx_pid=; }

best_of_three() { # PORT PATH FILE
    local best=
    for _ in 1 2 3; do
        local t
        t=$("$fetch" "$1" "$2" "$3" 1)
        if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
    done
    echo "$best"
}
ab_rate() { # PORT
    local out
    out=$(ab -q -n 20000 -c 16 "http://127.0.0.1:$1/small.bin" 2>&1)
    if ! grep -q '^Failed requests: *0$' <<<"$out" || ! grep -q '^Complete requests: *20000$' <<<"$out"; then
        echo "bench: ab saw failed requests on port $1:" >&2
        echo "$out" >&2
        return 1
    fi
    awk '/^Requests per second/ { print $4 }' <<<"$out"
}

# 1. Single-client throughput of a 1 GiB download.
start_ours "$work/www/big.bin"
start_nginx
ours_1g=$(best_of_three "$our_port" /big.bin "$work/www/big.bin")
nginx_1g=$(best_of_three "$nginx_port" /big.bin "$work/www/big.bin")
stop_ours

# 2. 32 concurrent downloads of a 256 MiB file.
start_ours "$work/www/mid.bin"
cpu0=$(cpu_seconds "$our_pid")
ours_32=$("$fetch" "$our_port" /mid.bin "$work/www/mid.bin" 32)
ours_cpu=$(calc "$(cpu_seconds "$our_pid") - $cpu0")
ours_rss=$(peak_rss_mib "$our_pid")
stop_ours
cpu0=$(cpu_seconds "$nginx_worker")
nginx_32=$("$fetch" "$nginx_port" /mid.bin "$work/www/mid.bin" 32)
nginx_cpu=$(calc "$(cpu_seconds "$nginx_worker") - $cpu0")
nginx_rss=$(peak_rss_mib "$nginx_worker")

# 3. Connection per request, 1 KiB file.
start_ours "$work/www/small.bin"
ours_rate=$(ab_rate "$our_port")
nginx_rate=$(ab_rate "$nginx_port")
stop_ours
stop_nginx

mib=1024
printf '\n%-44s %14s %14s\n' "measure" "hedu-transfer" "nginx"
printf '%-44s %14s %14s\n' "1 GiB, one client (MiB/s, best of 3)" \
    "$(calc "$mib / $ours_1g")" "$(calc "$mib / $nginx_1g")"
printf '%-44s %14s %14s\n' "32 x 256 MiB: wall seconds" "$ours_32" "$nginx_32"
printf '%-44s %14s %14s\n' "32 x 256 MiB: server CPU seconds" "$ours_cpu" "$nginx_cpu"
printf '%-44s %14s %14s\n' "32 x 256 MiB: server peak RSS (MiB)" "$ours_rss" "$nginx_rss"
printf '%-44s %14s %14s\n' "1 KiB, connection per request (req/s)" "$ours_rate" "$nginx_rate"
echo "(our peak RSS includes the one in-memory copy of the 256 MiB file; nginx reads from the page cache)"
echo
echo "bench: throughput_ratio_vs_nginx $(calc "$nginx_1g / $ours_1g")"
echo "bench: peak_rss_32x256MiB_MiB $ours_rss"
echo "bench: request_rate_ratio_vs_nginx $(calc "$ours_rate / $nginx_rate")"
echo "bench: server_cpu_ratio_vs_nginx $(calc "$ours_cpu / ($nginx_cpu > 0 ? $nginx_cpu : 0.001)")"

# 4. The tool at rest in a real X server.
"$(dirname "$0")/idle.sh" "$build/app/hedu-transfer"
