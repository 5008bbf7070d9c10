#!/usr/bin/env bash
# Checks the C++ style, builds everything and runs every test: native (plain and with sanitizers),
# the Windows tests under wine64, and the 32-bit kit players get, checked statically and run under
# 32-bit Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1
jobs=$(nproc)
failed=()
# One style for every C++ file, the repository's own .clang-format.
echo "=== clang-format"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror || failed+=("clang-format")
for preset in native native-asan win64 win32; do
    echo "=== $preset: configure and build"
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; }; then
        failed+=("$preset build")
        continue
    fi
    echo "=== $preset: tests"
    ctest --preset "$preset" -j "$jobs" || failed+=("$preset tests")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All test suites passed."
