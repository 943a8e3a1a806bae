#!/usr/bin/env bash
# valgrind memcheck over the end-to-end tests: the CLI transcripts and the
# conversion runs, with every vxconv they start traced too. Not part of CI
# (it takes minutes); the status is nonzero on any memcheck error.
#   tests/valgrind.sh [build directory]   (default: build-valgrind, RelWithDebInfo)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-valgrind}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target vxtests vxconv >/dev/null
cd "$build/tests"
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
  --trace-children=yes --quiet \
  ./vxtests --gtest_filter='Cli*:*Run*:*EndToEnd*' --gtest_brief=1
echo "valgrind: clean"
