#!/usr/bin/env bash
# Builds Kestrova twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# every test in both, with the loopback peer servers that the conformance tests talk to.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-deps.sh
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_SANITIZE=ON

# Peers started here are stopped here, whatever happens to the tests.
record=$(mktemp)
trap 'tools/peers/stop-all.sh "$record"' EXIT
tools/peers/start-all.sh "$record"
export KESTROVA_REQUIRE_PEERS=1

ctest --test-dir build --output-on-failure -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2
echo "All tests passed (plain and sanitizer builds)."
