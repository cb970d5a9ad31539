#!/usr/bin/env bash
# Copies the pictures of the sheet's tabs, taken by the last test run, into
# docs/ for the README. Run tools/test.sh first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pictures=${QX_PICTURES:-${QX_BUILD_DIR:-$root/build}/pictures}
shopt -s nullglob
files=("$pictures"/tab-*.png)
if [ ${#files[@]} -eq 0 ]; then
  echo "no pictures in $pictures: run tools/test.sh first" >&2
  exit 1
fi
mkdir -p "$root/docs"
cp "${files[@]}" "$root/docs/"
echo "copied ${#files[@]} pictures to docs/"
