#!/bin/sh
# Builds ORVA and starts it. The data folder is $ORVA_HOME (default $HOME/ORVA).
set -e
cd "$(dirname "$0")"
./tools/setup.sh >&2
home=${ORVA_HOME:-$HOME/ORVA}
mkdir -p "$home/PROT"
exec ./build/orva
