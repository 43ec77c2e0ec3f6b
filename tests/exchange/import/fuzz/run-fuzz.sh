#!/bin/sh
# Builds the text import's reader with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it.
#
#   tests/exchange/import/fuzz/run-fuzz.sh [seconds] [build-dir]
#
# Seeds are in tests/exchange/import/fuzz/corpus, replayed by the ordinary test run; the growing
# corpus and any crash inputs stay in the build directory.
set -eu
seconds=${1:-180}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../../.." && pwd)
out=${2:-$root/build-import-fuzz}
mkdir -p "$out/corpus"

sources="$root/exchange/import/ImportText.cpp $root/exchange/export/ExportText.cpp \
  $root/grid/PlainText.cpp $root/grid/CodePage1252.cpp $root/grid/LocaleInfo.cpp"
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$root" -I"$here" $(pkg-config --cflags Qt6Core) \
  $sources "$here/ImportFuzzTarget.cpp" $(pkg-config --libs Qt6Core) -o "$out/import_read_fuzz"

cd "$out"
./import_read_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" "$here/corpus"
