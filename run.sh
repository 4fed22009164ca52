#!/usr/bin/env bash
# Kestrova's main job: builds the host and the module, starts the bundled demo news server on a
# free loopback port, and opens the full-screen UI on it (in a terminal) or runs the demo
# script (without one, e.g. in CI). Stops the demo server it started when done.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-deps.sh
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

export KESTROVA_HOME=${KESTROVA_HOME:-$PWD/build/demo-home}
mkdir -p "$KESTROVA_HOME"

# The demo server prints "PORT n" once it listens.
out=$(mktemp)
tools/run-demo-server.sh --port 0 >"$out" &
server=$!
trap 'kill "$server" 2>/dev/null; rm -f "$out"' EXIT
port=""
for _ in $(seq 100); do
    port=$(awk '$1 == "PORT" {print $2; exit}' "$out")
    [ -n "$port" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
[ -n "$port" ] || { echo "the demo news server did not start" >&2; exit 1; }
export KESTROVA_DEMO_PORT=$port
echo "Demo news server on 127.0.0.1:$port"

if [ -t 0 ] && [ -t 1 ]; then
    build/bin/kestrova "news://127.0.0.1:$port"
else
    build/bin/kestrova --script tools/demo.script
fi
