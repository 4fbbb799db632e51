#!/bin/sh
# Records the reference outputs of the golden test: for every bundled example
# and for the generated nets under nets/, the standard output and both result
# files of the program named by the folder. Run once with the build of the
# reference commit (06c5e6a); the test compares every later build with them.
# Usage: tests/golden/make_golden.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# Every case is run with the frozen shell data of tests/golden/shell.txt.
record() {  # case name, folder with weblar.txt, program
  out="$here/expected/$1"
  rm -rf "$out"; mkdir -p "$out"
  work=$(mktemp -d)
  cp "$2/weblar.txt" "$here/shell.txt" "$work/"
  status=0
  (cd "$work" && "$build/$3/$3" > stdout.txt) || status=$?
  cp "$work/stdout.txt" "$work/autocad.scr" "$work/ansys.txt" "$out/"
  # A run that ends unconverged (status 1) keeps its status beside its files.
  [ "$status" -eq 0 ] || echo "$status" > "$out/status"
  rm -rf "$work"
}
for e in pneumatic_dome/domica_3 pneumatic_dome/domica_2 hanging_shell/domica_1 hanging_shell/domica_3 \
         support_heights/domica_3 large_dome/domica_3; do
  record "$(echo "$e" | tr / -)" "$root/examples/$e" "$(basename "$e")"
done
for d in "$here"/nets/*/; do
  name=$(basename "$d")
  record "$name" "$d" "${name%%-*}"
done
