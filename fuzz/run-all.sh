#!/bin/bash
# Builds every fuzz target with clang and runs each for the given minutes (default 1), one after
# the other, then prints the runs and findings of each target. Findings (crash-*, leak-*,
# timeout-*, oom-*) are kept in fuzz-findings/<target>/ of the build folder; each target's corpus
# grows in fuzz-corpus/<target>/.
#   fuzz/run-all.sh [MINUTES] [BUILD_FOLDER] [TARGET...]   (no targets: every one)
# Exits with status 1 when any target found something.
set -u
minutes=${1:-1}
build=${2:-build-fuzz}
shift $(($# < 2 ? $# : 2))
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60 + 0.5); print (s < 1 ? 1 : s) }')

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja -DKESTROVA_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
fi
targets=${*:-$(sed -n 's/^kestrova_fuzz_target(\([a-z_0-9]*\) .*/\1/p' "$source_dir/fuzz/CMakeLists.txt")}
# shellcheck disable=SC2086
ninja -C "$build" -j2 $targets >/dev/null || exit 1

summary=""
found=0
for target in $targets; do
    corpus="$build/fuzz-corpus/$target"
    findings="$build/fuzz-findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$build/fuzz-findings/$target.log"
    "$build/bin/$target" -max_total_time="$seconds" -artifact_prefix="$findings/" \
        -print_final_stats=1 "$corpus" >"$log" 2>&1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    count=$(find "$findings" -type f | wc -l)
    found=$((found + count))
    summary+=$(printf '%-24s runs %10s  findings %d' "$target" "${runs:-?}" "$count")$'\n'
done
printf '%s' "$summary"
[ "$found" -eq 0 ]
