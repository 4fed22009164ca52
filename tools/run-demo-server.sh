#!/usr/bin/env bash
# Starts the fixture news server on the demo spool (tools/demo-news). Posted articles are kept in
# memory only, so the committed demo data never changes.
#   tools/run-demo-server.sh [--port N] [other fixture_news_server.py options...]
# Prints "PORT <n>" once it listens (port 0, the default, picks a free one); runs until killed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec python3 "$here/fixture_news_server.py" --spool "$here/demo-news" --volatile "$@"
