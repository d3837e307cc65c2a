#!/bin/sh
# Builds ORVA (the optimized program build/orva) and starts it. The data
# folder is $ORVA_HOME (default $HOME/ORVA).
set -e
cd "$(dirname "$0")"
./tools/setup.sh >&2
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target orva >&2
home=${ORVA_HOME:-$HOME/ORVA}
mkdir -p "$home/PROT"
exec ./build/orva
