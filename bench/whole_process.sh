#!/bin/sh
# Times whole runs of a program on the scripted sessions of this folder:
# the median wall time (in ms, taken around /usr/bin/time) and the median
# peak memory (from /usr/bin/time -v's maximum resident set size) of several
# runs, each in a data folder of its own with a PROT folder.
#   bench/whole_process.sh [PROGRAM ...]   (default: build/orva build-test/orva)
set -u
cd "$(dirname "$0")/.."
runs=${RUNS:-9}
[ $# -gt 0 ] || set -- build/orva build-test/orva
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for program in "$@"; do
  for session in bench/session-start-and-quit.in bench/session-20-commands.in; do
    times=$(mktemp)
    memory=$(mktemp)
    i=0
    while [ $i -lt "$runs" ]; do
      home=$(mktemp -d)
      mkdir -p "$home/PROT"
      start=$(date +%s%N)
      ORVA_HOME=$home /usr/bin/time -v -o "$home/time" "$program" < "$session" > /dev/null 2>&1
      end=$(date +%s%N)
      echo $(((end - start) / 1000)) >> "$times"
      sed -n 's/.*Maximum resident set size (kbytes): //p' "$home/time" >> "$memory"
      rm -rf "$home"
      i=$((i + 1))
    done
    printf '%-16s %-28s median %6.1f ms %7s KiB\n' "$program" "$(basename "$session")" \
      "$(median < "$times" | awk '{ print $1 / 1000 }')" "$(median < "$memory")"
    rm -f "$times" "$memory"
  done
done
