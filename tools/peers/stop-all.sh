#!/usr/bin/env bash
# Stops the peers that start-all.sh recorded as started by this run (by their recorded PIDs).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
record=${1:?usage: stop-all.sh RECORD_FILE}
[ -f "$record" ] || exit 0
while read -r peer; do
    [ -n "$peer" ] && bash "$here/$peer.sh" stop
done < "$record"
rm -f "$record"
