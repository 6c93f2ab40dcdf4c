#!/usr/bin/env bash
# Lines of hand-written test code against lines of hand-written program code.
# Program: src/ (C++ sources and headers, the generated *_data.cpp tables left
# out). Tests: every C++, shell, Python and CMake file under tests/; expected
# outputs (golden files, transcripts) are data and are not counted.
# Exits 1 when the tests pass the share given (default 35 %).
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-35}
count() { if [ $# -gt 0 ]; then cat "$@" | wc -l; else echo 0; fi; }
mapfile -t program < <(find src -type f \( -name '*.cpp' -o -name '*.h' \) ! -name '*_data.cpp' | sort)
mapfile -t tests < <(find tests -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.sh' \
  -o -name '*.py' -o -name '*.cmake' -o -name 'CMakeLists.txt' -o -name '*.in' \) | sort)
p=$(count "${program[@]}")
t=$(count "${tests[@]}")
share=$((100 * t / p))
printf 'program %d lines in %d files, tests %d lines in %d files: tests are %d %% of the program (limit %d %%)\n' \
  "$p" "${#program[@]}" "$t" "${#tests[@]}" "$share" "$limit"
[ "$share" -le "$limit" ]
