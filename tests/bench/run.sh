#!/usr/bin/env bash
# Benchmark of ziptool (cUnzip over our zip library) against bsdtar, 7-Zip and the yardstick
# (zlib alone). Not part of ctest.
#   bash tests/bench/run.sh [BUILD_DIR] [REPEATS] [OUT_ROOT]
# BUILD_DIR defaults to build/native (configured with the native preset if it is not yet); the
# generated archives are cached in BUILD_DIR/bench-inputs. The runs extract into folders under
# OUT_ROOT, by default a folder in /dev/shm (see Outputs in bench.py).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
repeats=${2:-5}
cd "$root"
bash scripts/setup.sh   # GNU time, bsdtar and 7-Zip among others
[ -f "$build/CMakeCache.txt" ] || cmake --preset native -B "$build" >/dev/null
cmake --build "$build" -j2 --target ziptool vbuzip10 yardstick >/dev/null
python3 "$root/tests/bench/bench.py" "$build/bin/ziptool" "$build/bin/yardstick" "$build/bench-inputs" "$repeats" ${3:+"$3"}
