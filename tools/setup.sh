#!/bin/sh
# Installs what the build needs on Debian, when it is missing, and builds.
set -e
cd "$(dirname "$0")/.."
need=""
for pkg in cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev fonts-dejavu-core; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need="$need $pkg"
done
if [ -n "$need" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $need
fi
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
