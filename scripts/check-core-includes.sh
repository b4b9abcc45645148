#!/usr/bin/env bash
# The core's includes from outside it: a core file may include the C++
# standard library (names without '/' or '.': <vector>, <cstdio>),
# nlohmann/json (not in the ports, which are plain C++) and, in quotes, the
# core's own folders. No platform, curl, wx, GTK, POSIX or Windows header may
# reach skyvigil_core. Which core folder may include which is the compiler's
# to check: each library sees only the folders of what it links
# (cmake/include_roots.cmake).
# Usage: check-core-includes.sh <core_layers.txt of a build> <src folder>
set -euo pipefail
layers=$1 src=$2

folders=$(cut -d' ' -f1 "$layers" | paste -sd'|')

bad=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  folder=${rel%%/*}
  while IFS= read -r line; do
    number=${line%%:*}
    header=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*//; s/[[:space:]]*(\/\/.*)?$//' <<<"$line")
    name=${header:1:-1}
    case $header in
      \<*\>)
        if [[ $name =~ ^[^/.]+$ ]]; then continue; fi
        if [[ $folder != ports && $name == nlohmann/json.hpp ]]; then continue; fi
        ;;
      \"*\")
        if [[ $name =~ ^($folders)/[^/]+$ ]]; then continue; fi
        ;;
    esac
    echo "$rel:$number: the core may not include $header"
    bad=1
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$src" -mindepth 1 -maxdepth 1 -type d -regextype egrep -regex ".*/($folders)" \
  -exec find {} \( -name '*.h' -o -name '*.cpp' \) -type f -print0 \; | sort -z)

if ((bad)); then exit 1; fi
echo "core includes: the standard library, nlohmann/json and the core's own folders only"
