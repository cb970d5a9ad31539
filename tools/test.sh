#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test:
#   native logic tests (AddressSanitizer, UBSan), the Windows tests under Wine in
#   a private prefix on a private Xvfb display, and an i686 compile of the programs;
#   at the end, the share of test lines against code lines (tools/line_share.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}
# Files written by other programs, for the import tests; where they are absent,
# those tests are skipped and counted as such.
samples=$(realpath -m "${QX_SAMPLES:-$root/../shared/samples}")

bash "$root/tools/setup.sh"

echo "== native build (clang, sanitizers, fuzz targets)"
CC=clang CXX=clang++ cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native"

echo "== Windows build, x86_64"
cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DQX_SAMPLES="$samples" >/dev/null
cmake --build "$build/win64"

echo "== Windows build, i686 (compiled only: this machine cannot run 32-bit code)"
cmake -S "$root" -B "$build/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/win32"

run=$(mktemp -d /tmp/qxtest.XXXXXX)
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap 'qx_wine_stop; rm -rf "$run"' EXIT

status=0
echo "== native tests"
(cd "$build/native" && ctest --output-on-failure) | tee "$run/native.txt" || status=1

echo "== Windows tests under Wine"
qx_wine_start "$run" xvfb
(cd "$build/win64" && ctest --output-on-failure) | tee "$run/win.txt" || status=1
qx_wine_stop


# One closing line over both runs: it counts test programs, as ctest does; a
# program whose cases were partly skipped counts as passed, and those cases
# are said apart, counted from the full log.
passed=0; failed=0; skipped=0
for log in "$build/native" "$build/win64"; do
  log=$log/Testing/Temporary/LastTest.log
  [ -f "$log" ] || continue
  n=$(grep -cE '^\[  SKIPPED \] .* \([0-9]+ ms\)[[:space:]]*$' "$log" || true)
  skipped=$((skipped + n))
  tr -d '\r' <"$log" | grep -A1 -E ': Skipped$' | grep -vE ': Skipped$|^--$' | sort -u |
    sed 's/^/skipped: /' || true
done
for f in "$run/native.txt" "$run/win.txt"; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$f" | tail -n 1 || true)
  if [ -z "$line" ]; then status=1; continue; fi
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
  passed=$((passed + total - bad)); failed=$((failed + bad))
done
[ "$failed" -eq 0 ] || status=1
bash "$root/tools/line_share.sh"
echo "test programs: $passed passed, $failed failed ($skipped of their test cases skipped)"
exit $status
