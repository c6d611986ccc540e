#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the format check, the sanitizer build, a
# short fuzz run, and finally the plain build in the run command's configuration (Release), whose tests
# include making and checking the Debian package; ctest's summary ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDARV_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzzing the drawing reader for 60 seconds"
scripts/fuzz.sh 60

echo "== plain build (Release, as the run command and the package build it)"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-test -j "$jobs"
# ctest's summary line closes the output, after its timing lines.
status=0
ctest --test-dir build-test --output-on-failure -j "$jobs" 2>&1 | tee build-test/ctest.log || status=$?
grep -E '^[0-9]+% tests passed' build-test/ctest.log | tail -n 1
exit "$status"
