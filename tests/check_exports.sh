#!/usr/bin/env bash
# The module library must export exactly the host's seventeen entry points.
set -euo pipefail
expected="ClosePlugin Configure DeleteFiles ExitFAR FreeFindData GetFiles GetFindData GetOpenPluginInfo
GetPluginInfo MakeDirectory OpenFilePlugin OpenPlugin ProcessEvent ProcessKey PutFiles SetDirectory
SetStartupInfo"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ')
want=$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')
if [ "$actual" != "$want" ]; then
    echo "exported: $actual"
    echo "expected: $want"
    exit 1
fi
echo "exports ok: $actual"
