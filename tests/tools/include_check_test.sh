#!/usr/bin/env bash
# Proves both halves of the core's include rules catch what they must, on the
# fixture tests/data/include_check: its system/ files through
# check-core-includes.sh, and each layers/<folder>/ file compiled with the
# include folders of skyvigil_<folder> as the build gives them.
# Usage: include_check_test.sh <check-core-includes.sh> <core_layers.txt>
#        <fixture folder> <include flags folder> <c++ compiler>
set -uo pipefail
export LC_ALL=C
check=$1 layers=$2 fixture=$3 flags=$4 compiler=$5

{
  if bash "$check" "$layers" "$fixture/system"; then
    echo "check-core-includes.sh passed the fixture"
  fi
  while IFS= read -r -d '' file; do
    rel=${file#"$fixture/layers"/}
    folder=${rel%%/*}
    mapfile -t includes <"$flags/$folder.txt"
    # The first missing header ends the compile: one leak per file. A file
    # that fails for any other reason shows its errors and fails the diff.
    "$compiler" -std=c++20 -fsyntax-only -x c++ "${includes[@]}" "$file" 2>&1 |
      sed -E "s|^$file:([0-9]+):[0-9]+: fatal error: (.*): No such file or directory$|$rel:\1: \"\2\" is not in what skyvigil_$folder links|" |
      grep -E ': error|is not in what|fatal' || true
  done < <(find "$fixture/layers" -type f -print0 | sort -z)
} | sort | diff - "$fixture/expected.txt"
