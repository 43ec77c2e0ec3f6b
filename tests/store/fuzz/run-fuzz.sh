#!/bin/sh
# Builds the table store's filter parser and compiler as a libFuzzer target (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs it. Every input is parsed, compiled
# against the frequency table's fields and prepared as the queries a table runs with it.
#
#   tests/store/fuzz/run-fuzz.sh [seconds] [build-dir]
#
# The seeds in tests/store/fuzz/corpus are replayed by the ordinary test run; the growing
# corpus and any crash inputs stay in the build directory.
set -eu
seconds=${1:-180}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${2:-$root/build-store/fuzz}
mkdir -p "$out/corpus"

# The store without the category file, which needs the program's locale service.
sources=$(ls "$root"/store/*.cpp | grep -v '/CategoryFile.cpp$')
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$root" $(pkg-config --cflags Qt6Core sqlite3) \
  $sources "$here/FilterFuzzDriver.cpp" "$here/FilterFuzzTarget.cpp" \
  $(pkg-config --libs Qt6Core sqlite3) -o "$out/store_filter_fuzz"

cd "$out"
# Long enough inputs to reach both the depth and the comparison bounds.
./store_filter_fuzz -max_total_time="$seconds" -max_len=16384 -print_final_stats=1 \
  -artifact_prefix="$out/filter-" "$out/corpus" "$here/corpus"
