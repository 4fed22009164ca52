#!/usr/bin/env bash
# Builds the Debian package of a build folder and checks it with lintian: no error, no warning.
# Exits 77 (skipped) without lintian or dpkg-shlibdeps.
#   package_test.sh BUILD_DIR
set -euo pipefail
command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null ||
    { echo "SKIPPED: lintian or dpkg-dev is missing"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$out" >"$out/cpack.log" ||
    { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
name=$(basename "$deb")
[[ $name =~ ^kestrova_[0-9][^_]*_[a-z0-9]+\.deb$ ]] || { echo "not Debian's form: $name"; exit 1; }
dpkg-deb -f "$deb" Depends
dpkg-deb -f "$deb" Depends | grep -q '(>= ' || { echo "Depends without versions"; exit 1; }
# Tags that are neither errors nor warnings are shown, not failed on.
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: $name passes"
