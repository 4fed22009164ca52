#!/usr/bin/env bash
# Starts the loopback peers that the conformance tests need, skipping those already running, and
# records in $1 which ones this run started so that stop-all.sh stops only those.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
record=${1:?usage: start-all.sh RECORD_FILE}
: > "$record"
for peer in dante microsocks inn2; do
    if bash "$here/$peer.sh" status >/dev/null 2>&1; then
        echo "$peer: already running, left as it is"
    else
        bash "$here/$peer.sh" start
        echo "$peer" >> "$record"
        # A news server this run started gets the sample articles the tests read.
        if [ "$peer" = inn2 ]; then
            python3 "$here/seed.py" --samples >/dev/null
        fi
    fi
done
