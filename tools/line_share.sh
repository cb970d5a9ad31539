#!/usr/bin/env bash
# Prints how many non-blank, non-comment lines the tests hold against the
# programs' code, and the tests' share of it. Folders that do not exist yet
# count as empty. Only source files count (C++, resource scripts, CMake,
# shell, Python, ini); pictures, icons and data do not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Non-blank lines of the given files that are not comments: // and /* */ in
# C-like files, # in scripts and CMake, ; and # in ini files.
count() {
  local total=0 f n
  for f in "$@"; do
    case "$f" in
      *.cpp|*.cc|*.c|*.h|*.hpp|*.rc)
        n=$(awk '
          { line = $0 }
          inblock { if (index(line, "*/") == 0) next; line = substr(line, index(line, "*/") + 2); inblock = 0 }
          { sub(/^[ \t]+/, "", line) }
          line ~ /^\/\*/ { if (index(substr(line, 3), "*/") == 0) { inblock = 1 }; next }
          line == "" || line ~ /^\/\// { next }
          { n++ }
          END { print n + 0 }' "$f") ;;
      *.sh|*.py|*.cmake|*/CMakeLists.txt)
        n=$(grep -cvE '^[[:space:]]*(#|$)' "$f" || true) ;;
      *.ini)
        n=$(grep -cvE '^[[:space:]]*([;#]|$)' "$f" || true) ;;
      *) n=0 ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}

files_under() {
  local d
  for d in "$@"; do
    [ -d "$root/$d" ] && find "$root/$d" -type f | sort
  done
  return 0
}

mapfile -t test_files < <(files_under tests)
mapfile -t code_files < <(files_under addressdb manager importexport installer uninstaller common resources tools)
tests=$(count "${test_files[@]}")
code=$(count "${code_files[@]}")
if [ "$code" -gt 0 ]; then share=$((100 * tests / code)); else share=0; fi
echo "lines of tests: $tests, lines of code: $code, tests are $share % of code"
