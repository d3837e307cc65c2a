#!/bin/sh
# Builds ORVA and runs every test.
set -e
cd "$(dirname "$0")"
./tools/setup.sh
cd build
ctest --output-on-failure -j "$(nproc)"
