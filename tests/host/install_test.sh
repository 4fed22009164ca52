#!/usr/bin/env bash
# Installs the build under a temporary prefix and runs the installed host there: it must find
# the module in PREFIX/lib/kestrova and the language files in PREFIX/share/kestrova.
#   install_test.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
for file in bin/kestrova lib/kestrova/kestrova.so lib/kestrova/libkestrova-platform.so \
            share/kestrova/lang/KestrovaEng.lng share/kestrova/lang/KestrovaRus.lng \
            share/kestrova/lang/KestrovaEng.hlf share/man/man1/kestrova.1.gz \
            share/doc/kestrova/copyright; do
    [ -f "$prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
# Far from the build folder, with no KESTROVA_MODULE: the installed layout alone.
cd "$prefix"
out=$(printf 'print cmdline\n' | env -u KESTROVA_MODULE KESTROVA_HOME="$prefix/home" \
      LD_LIBRARY_PATH= bin/kestrova --script -)
echo "$out"
grep -q '^command line:' <<<"$out" || { echo "the installed host did not run" >&2; exit 1; }
"$prefix/bin/kestrova" --version | grep -q '^kestrova [0-9]'
