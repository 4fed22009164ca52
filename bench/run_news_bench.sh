#!/usr/bin/env bash
# Prepares the loopback news server and runs build/bin/news_bench against it (run as root):
#
#   bash bench/run_news_bench.sh [BUILD_DIR]     (default: build)
#
#  1. starts the server with tools/peers/inn2.sh when it is not running, and stops it (by the
#     PIDs that script recorded) at the end only in that case;
#  2. creates a group of its own, kestrova.bench.<time>, and feeds it 10,000 articles through
#     seed.py --feed (TAKETHIS); the benchmark adds 3 x 100 more, so every run starts fresh;
#     and a short group, kestrova.bench.<time>.short, of 500 articles (walked one command at a
#     time through a 20 ms round trip, where 10,000 would take 400 s);
#     NEWS_BENCH_ARTICLES sets the first count for a quick trial run; and a large group,
#     kestrova.bench.<time>.large, of 100,000 articles (NEWS_BENCH_LARGE_ARTICLES sets its
#     count, 0 leaves it out), entered by the overview for its time and peak memory;
#  3. adds 20,000 groups kestrova.bench.list.* for LIST (NEWS_BENCH_LIST_GROUPS sets how many;
#     0 adds none, for a trial while other tests list the server's groups). ctlinnd newgroup
#     takes one round trip and a rewrite of the server's group table per group (minutes for
#     20,000), so the script throttles the server, appends the lines to its active file, reloads
#     it ("ctlinnd reload active") and lets it go again: about a second. They are listed in a
#     shuffled order, as a real server's LIST comes, not sorted;
#  4. runs the benchmarks (which repeat every measurement 3 times and print the medians):
#     news_bench (directly and through build/bin/latency_proxy, which it starts itself; the
#     large group also compressed and uncompressed through a second proxy capped at 20 Mbit/s,
#     with the bytes that came over it), then
#     article_copy_bench (copying 1,000 of the group's articles to files), under
#     $BENCH_WRAPPER when set (e.g. BENCH_WRAPPER="strace -f -tt -o /tmp/trace"); then
#     group_list_memory_bench, which needs no news server (it lists 100,000 groups of a
#     fixture server, then 1,000,000 groups of 113-byte names, then a LIST that never ends
#     until the group limit cuts it);
#  5. removes what it added again (the groups from the active file the same way; the bench
#     groups with ctlinnd rmgroup, their articles left to expire), so other users of the
#     server see what they saw before.
set -euo pipefail

SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SOURCE/build}
BENCH=$BUILD/bin/news_bench
COPY_BENCH=$BUILD/bin/article_copy_bench
MEMORY_BENCH=$BUILD/bin/group_list_memory_bench
PROXY=$BUILD/bin/latency_proxy
INN=$SOURCE/tools/peers/inn2.sh
CTLINND=/usr/lib/news/bin/ctlinnd
ACTIVE=/var/lib/news/active
LIST_PREFIX=kestrova.bench.list.
LIST_GROUPS=${NEWS_BENCH_LIST_GROUPS:-20000}
ARTICLES=${NEWS_BENCH_ARTICLES:-10000}
SHORT_ARTICLES=500
LARGE_ARTICLES=${NEWS_BENCH_LARGE_ARTICLES:-100000}
GROUP=kestrova.bench.$(date -u +%Y%m%d%H%M%S)
SHORT_GROUP=$GROUP.short
LARGE_GROUP=$GROUP.large

log() { printf '[news-bench] %s\n' "$*" >&2; }
die() { log "ERROR: $*"; exit 1; }

[ "$(id -u)" = 0 ] || die "run as root (the news server's tools need it)"
[ -x "$BENCH" ] || die "$BENCH not built (ninja -C $BUILD news_bench)"
for program in "$COPY_BENCH" "$MEMORY_BENCH" "$PROXY"; do
    [ -x "$program" ] || die "$program not built (ninja -C $BUILD $(basename "$program"))"
done

started=0
groups_created=()
list_added=0

# Runs the active-file edit given as a command between throttle and go, then reloads.
edit_active() {
    "$CTLINND" -s throttle "news bench" || die "cannot throttle the server"
    local status=0
    "$@" || status=$?
    "$CTLINND" -s reload active "news bench" || status=1
    "$CTLINND" -s go "news bench" || status=1
    return $status
}

append_list_groups() {
    # 7919 is prime to 20,000, so i*7919 mod 20,000 visits every number once, out of order.
    awk -v n=$LIST_GROUPS -v p=$LIST_PREFIX \
        'BEGIN { for (i = 0; i < n; i++) printf "%sg%05d 0000000000 0000000001 y\n", p, (i * 7919) % n }' \
        >> "$ACTIVE"
}

remove_list_groups() {
    grep -v "^${LIST_PREFIX//./\\.}" "$ACTIVE" > "$ACTIVE.bench" || true
    cat "$ACTIVE.bench" > "$ACTIVE"
    rm -f "$ACTIVE.bench"
}

cleanup() {
    local status=$?
    if [ $list_added = 1 ]; then
        edit_active remove_list_groups && log "removed the $LIST_GROUPS list groups" || true
    fi
    for group in "${groups_created[@]}"; do
        "$CTLINND" -s rmgroup "$group" && log "removed $group" || true
    done
    if [ $started = 1 ]; then bash "$INN" stop || true; fi
    exit $status
}
trap cleanup EXIT

# Something accepts connections on 127.0.0.1:port.
listening() { (exec 3<> "/dev/tcp/127.0.0.1/$1") 2> /dev/null; }

if ! bash "$INN" status > /dev/null 2>&1; then
    if listening 119 || listening "${INN_READER_PORT:-1119}"; then
        # Someone else's server, partly up: complete it, and leave it running afterwards.
        log "starting the missing parts of the running news server"
    else
        log "starting the news server"
        started=1
    fi
    bash "$INN" start > /dev/null
fi

# Creates group $1 and feeds it $2 articles.
add_group() {
    local t0=$SECONDS
    "$CTLINND" -s newgroup "$1" y tester || die "newgroup $1"
    groups_created+=("$1")
    python3 "$SOURCE/tools/peers/seed.py" --feed --count "$2" --group "$1" > /dev/null \
        || die "seeding $1 failed"
    log "$1 holds $2 articles ($((SECONDS - t0)) s)"
}
add_group "$GROUP" "$ARTICLES"
add_group "$SHORT_GROUP" "$SHORT_ARTICLES"
large=()
if [ "$LARGE_ARTICLES" != 0 ]; then
    add_group "$LARGE_GROUP" "$LARGE_ARTICLES"
    large=("$LARGE_GROUP")
fi

t0=$SECONDS
present=$(grep -c "^${LIST_PREFIX//./\\.}" "$ACTIVE" || true)
if [ "$present" != 0 ]; then
    # Left over from an interrupted run: start from none.
    edit_active remove_list_groups
fi
if [ "$LIST_GROUPS" != 0 ]; then
    list_added=1
    edit_active append_list_groups || die "adding the list groups failed"
    log "added $LIST_GROUPS groups ($((SECONDS - t0)) s)"
fi

${BENCH_WRAPPER:-} "$BENCH" "$GROUP" "$SHORT_GROUP" "${large[@]}"
${BENCH_WRAPPER:-} "$COPY_BENCH" "$GROUP"
${BENCH_WRAPPER:-} "$MEMORY_BENCH"
${BENCH_WRAPPER:-} "$MEMORY_BENCH" 1000000 113
${BENCH_WRAPPER:-} "$MEMORY_BENCH" endless
