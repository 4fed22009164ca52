#!/bin/sh
# bench/compare_listing.sh [BASE]: listing 10,000 cached articles (utf8_listing_bench) as built
# from this tree and as built from the revision BASE (default c221405, the last one of the
# single-byte text model), in build folders of their own (build-bench-*; ccache used when
# present). Both run on the same records, in turns, five times each; prints the best times and
# the ratio this tree / BASE (the aim for UTF-8 subjects: at most 1.2).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
base=${1:-c221405}
launcher=$(command -v ccache || true)
configure() {  # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher -DCMAKE_C_COMPILER_LAUNCHER=$launcher} >/dev/null
}
old_tree=$top/build-bench-base-src
# Extracted again only for another revision, so that a second run builds nothing.
revision=$(git -C "$top" rev-parse "$base^{commit}")
if [ "$(cat "$old_tree/.revision" 2>/dev/null)" != "$revision" ]; then
  rm -rf "$old_tree" && mkdir -p "$old_tree"
  git -C "$top" archive "$revision" | tar -x -C "$old_tree"
  echo "$revision" >"$old_tree/.revision"
fi
# The same bench source, built in the earlier tree as a target of its own.
cmp -s "$top/bench/utf8_listing_bench.cpp" "$old_tree/bench/utf8_listing_bench.cpp" ||
  cp "$top/bench/utf8_listing_bench.cpp" "$old_tree/bench/utf8_listing_bench.cpp"
if ! grep -q utf8_listing_bench "$old_tree/bench/CMakeLists.txt"; then
  cat >>"$old_tree/bench/CMakeLists.txt" <<'CMAKE'
add_executable(utf8_listing_bench utf8_listing_bench.cpp)
target_link_libraries(utf8_listing_bench PRIVATE kv_news kv_ui kv_common)
target_include_directories(utf8_listing_bench PRIVATE ${CMAKE_SOURCE_DIR})
CMAKE
fi
configure "$top" "$top/build-bench-new"
configure "$old_tree" "$top/build-bench-base"
ninja -C "$top/build-bench-new" utf8_listing_bench >/dev/null
ninja -C "$top/build-bench-base" utf8_listing_bench >/dev/null
best() {  # the smaller of two numbers
  awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'
}
new_utf8= new_ascii= old_utf8= old_ascii=
for round in 1 2 3 4 5; do
  set -- $("$top/build-bench-base/bin/utf8_listing_bench")
  old_utf8=$(best "$2" "$old_utf8"); old_ascii=$(best "$4" "$old_ascii")
  set -- $("$top/build-bench-new/bin/utf8_listing_bench")
  new_utf8=$(best "$2" "$new_utf8"); new_ascii=$(best "$4" "$new_ascii")
done
echo "listing 10,000 cached articles, best of 5 runs x 20 rounds, milliseconds of CPU time:"
echo "                   $base   this tree   ratio"
awk -v a="$old_utf8" -v b="$new_utf8" 'BEGIN { printf "UTF-8 subjects  %10.2f %10.2f %8.2f (aim: at most 1.20)\n", a, b, b / a }'
awk -v a="$old_ascii" -v b="$new_ascii" 'BEGIN { printf "ASCII subjects  %10.2f %10.2f %8.2f\n", a, b, b / a }'
