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
    # The first header line holds the date and time of the run.
    if ! diff -u "$dir/$name.protocol" "$home/PROT/PROTOCOL.TXT" | grep -v '^[-+]  Yr:' | grep -q '^[-+][^-+]'; then :; else
      echo "$name: protocol differs"; diff -u "$dir/$name.protocol" "$home/PROT/PROTOCOL.TXT"; status=1
    fi
  fi
  rm -rf "$home" "$actual"
done
exit $status
