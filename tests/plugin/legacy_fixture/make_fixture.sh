#!/bin/sh
# tests/legacy/make_fixture.sh BUILD: makes the fixture of this folder (home/registry.db and
# home/Cache/*.twc, the account file account_file, and the run's transcript made_fixture.txt) with the host and module of BUILD,
# the build folder of an earlier version, against the fixture news server on spool/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
rm -rf "$here/home" && mkdir -p "$here/home"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
KESTROVA_HOME="$here/home" KESTROVA_MODULE="$build/bin/kestrova.so" KESTROVA_LANG=eng \
  python3 "$here/../../host/run_with_news_server.py" "$here/make_fixture.server" "$work/server.log" -- \
  "$build/bin/kestrova" --script "$here/make_fixture.script" >"$here/made_fixture.txt"
cp "$work/Новости/Сервер №1" "$here/account_file"
