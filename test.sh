#!/bin/sh
# Builds ORVA twice and runs every test in both: the optimized build in build/
# (the program a diver runs, build/orva) and the test build in build-test/,
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
cd "$(dirname "$0")"
./tools/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake -S . -B build-test -G Ninja -DORVA_SANITIZE=ON >/dev/null
cmake --build build
cmake --build build-test
echo "== the optimized build (build/orva)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
echo "== the sanitized test build (build-test/)"
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
