#!/bin/sh
# Builds a fuzz target with clang's libFuzzer (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) from the Qt-free globe core alone, and runs it.
#
#   tests/globe/fuzz/run-fuzz.sh [seconds] [build-dir] [record|layer]
#
# record: the object and attribute record readers (seeds in tests/globe/fuzz/corpus, replayed
# by the ordinary test run); layer: whole layer files (seeds in tests/globe/fuzz/layer-corpus).
# The growing corpus and any crash inputs stay in the build directory.
set -eu
seconds=${1:-180}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${2:-$root/build-globe/fuzz}
target=${3:-record}
case "$target" in
record) source=RecordFuzzTarget.cpp; seeds=corpus; maxlen=4096 ;;
layer) source=LayerFuzzTarget.cpp; seeds=layer-corpus; maxlen=16384 ;;
*) echo "unknown target $target" >&2; exit 2 ;;
esac
mkdir -p "$out/$target-corpus"

# The core is every globe source that does not use Qt.
core=$(grep -L '#include <Q' "$root"/globe/*.cpp)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/tests/globe" $core "$here/$source" -o "$out/globe_${target}_fuzz"

cd "$out"
./globe_${target}_fuzz -max_total_time="$seconds" -max_len=$maxlen -print_final_stats=1 \
  -artifact_prefix="$out/$target-" "$out/$target-corpus" "$here/$seeds"
