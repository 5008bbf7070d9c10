#!/usr/bin/env bash
# bash tests/bench/run.sh [BUILD_DIR [REPEATS [OUT_ROOT]]] (README); BUILD_DIR/bench-inputs keeps the inputs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
cd "$root"
bash scripts/setup.sh
[ -f "$build/CMakeCache.txt" ] || cmake --preset native -B "$build" >/dev/null
cmake --build "$build" -j2 --target ziptool vbuzip10 yardstick >/dev/null
python3 tests/bench/bench.py "$build/bin/ziptool" "$build/bin/yardstick" "$build/bench-inputs" "${2:-5}" ${3:+"$3"}
