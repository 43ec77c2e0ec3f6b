#!/bin/sh
# Builds the record-reader fuzz target with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) from the Qt-free globe core alone, and runs it.
#
#   tests/globe/fuzz/run-fuzz.sh [seconds] [build-dir]
#
# The checked-in seeds in tests/globe/fuzz/corpus (replayed by the ordinary test run) start
# the search; the growing corpus and any crash inputs stay in the build directory.
set -eu
seconds=${1:-180}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${2:-$root/build-globe/fuzz}
mkdir -p "$out/corpus"

core=$(ls "$root"/globe/*.cpp | grep -v PainterCanvas.cpp)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/tests/globe" $core "$here/RecordFuzzTarget.cpp" -o "$out/globe_record_fuzz"

cd "$out"
./globe_record_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" "$here/corpus"
