#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the formatting check,
# the native suite, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the real bmp2spr.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" >/dev/null
  ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$jobs"
}

echo "== format"
# clang-format is on the machines we build on; a missing one is no failure.
if command -v clang-format >/dev/null; then
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
  echo "sources formatted"
fi

echo "== native suite"
run_suite build -DCMAKE_BUILD_TYPE=Release
echo "== sanitizer suite"
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBMP2SPR_SANITIZE=ON
echo "== windows suite"
bash scripts/test-windows.sh
