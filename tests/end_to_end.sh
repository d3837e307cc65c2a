#!/bin/sh
# Runs the built binary on every piped session of a folder: NAME.in is the
# input, NAME.out the exact standard output; the exit code must be 0.
# NAME.noprot: the data folder has no PROT folder. NAME.protocol: the
# expected PROTOCOL.TXT, the date line of its header not compared.
set -u
bin=$1
dir=$2
status=0
for input in "$dir"/*.in; do
  name=$(basename "$input" .in)
  home=$(mktemp -d)
  [ -f "$dir/$name.noprot" ] || mkdir -p "$home/PROT"
  actual=$(mktemp)
  ORVA_HOME=$home "$bin" < "$input" > "$actual" 2>"$home/stderr"
  code=$?
  if [ $code -ne 0 ]; then
    echo "$name: exit code $code"; cat "$home/stderr"; status=1
  elif ! diff -u "$dir/$name.out" "$actual"; then
    echo "$name: output differs"; status=1
  fi
  if [ -f "$dir/$name.protocol" ]; then
    # The header's first line holds the date and time of the run.
    mask='s/^  Yr: .*$/  Yr: (date and time)/'
    sed "$mask" "$dir/$name.protocol" > "$home/expected.prot"
    sed "$mask" "$home/PROT/PROTOCOL.TXT" > "$home/actual.prot" 2>/dev/null
    if ! diff -u "$home/expected.prot" "$home/actual.prot"; then
      echo "$name: protocol differs"; status=1
    fi
  fi
  rm -rf "$home" "$actual"
done
exit $status
