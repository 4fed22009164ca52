#!/usr/bin/env bash
# Configures and builds one build folder: tools/build.sh DIR [cmake options...]
set -euo pipefail
dir=$1; shift
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/$dir" -G Ninja "$@" >/dev/null
ninja -C "$top/$dir"
