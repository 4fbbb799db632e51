#!/bin/sh
# The makenet commands of the example problems, written into OUT_DIR.
# The stored examples stay as they are: the golden test records their results,
# and they were written by an earlier makenet (numbers with 17 digits, nodes in
# the order of numbering=rings), so the files made here differ from them only
# in how the numbers are written and in the order of the fixed coordinates.
# Usage: examples/make_examples.sh BUILD_DIR OUT_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
makenet=${1:-build}/tools/makenet/makenet
out=${2:?usage: examples/make_examples.sh BUILD_DIR OUT_DIR}
shell="$here/shell.txt"

put() {  # folder, makenet arguments...
  dir="$out/$1"; shift
  mkdir -p "$dir"
  "$makenet" "$@" > "$dir/weblar.txt"
  cp "$shell" "$dir/shell.txt"
}

# A pneumatic dome: a circular net clamped at its edge, lifted by pressure.
put pneumatic_dome/domica_3 disc rings=8 radius=10 young=1000 poisson=0.3 thickness=0.1 pressure=-1 maxmajor=4 maxminor=2000 mntol=1e-7 numbering=rings
put pneumatic_dome/domica_2 disc rings=8 radius=10 young=1000 poisson=0.3 thickness=0.1 pressure=-1 maxmajor=4 maxminor=200 mntol=1e-10 program=2 numbering=rings
# A hanging shell on four corner supports under self-weight.
put hanging_shell/domica_1 rect nx=10 ny=10 lx=10 ly=10 support=corners young=1000 poisson=0.2 thickness=0.1 weight=2 maxminor=5000 mntol=1e-7 program=1 numbering=rings
put hanging_shell/domica_3 rect nx=10 ny=10 lx=10 ly=10 support=corners young=1000 poisson=0.2 thickness=0.1 weight=2 maxmajor=1 maxminor=5000 mntol=1e-7 numbering=rings
# Supports at prescribed heights, self-weight and a point load at the centre.
put support_heights/domica_3 rect nx=12 ny=8 lx=12 ly=8 support=corners heights=0,1.5,0,1.5 young=1000 poisson=0.2 thickness=0.1 weight=1 load=-2 maxmajor=1 maxminor=5000 mntol=1e-7 numbering=rings
# A larger net for timing: 2791 nodes, 5400 triangles.
put large_dome/domica_3 disc rings=30 radius=20 young=1000 poisson=0.3 thickness=0.1 pressure=-0.5 maxmajor=2 maxminor=20000 mntol=1e-6 numbering=rings
