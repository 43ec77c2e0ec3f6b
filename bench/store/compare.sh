#!/usr/bin/env bash
# Builds the store benchmarks in Release and runs them once: bulk append of 1,000,000 records
# beside the sqlite3 shell importing the same rows as CSV in its best way (the same cache, the
# frequency index built after the import; what each side includes is said in bench_store.cpp),
# open + range + count, and a walk of all records in frequency order. Needs the sqlite3 command-line shell (apt-get install sqlite3).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$top/build-store-rel}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DWAVELARK_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_store -j2
"$build/bench/store/bench_store" "$@"
