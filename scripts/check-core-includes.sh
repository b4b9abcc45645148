#!/usr/bin/env bash
# Fails when a file of the core includes anything but the C++ standard library,
# nlohmann/json, the ports and the core folders below its own: no platform,
# curl, wx, GTK, POSIX or Windows header may reach skyvigil_core, and no layer
# may reach up into one above it. The platforms' adapters and the updater
# program (src/update_tool) are not the core. Usage:
# check-core-includes.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

core_folders='app|weather|present|state|monitor|views|forecast|cities|update|ports'

# Which folders each folder may include, besides its own: the layers
# ports <- weather <- present <- state <- monitor, views, forecast <- cities <- app,
# with update beside them on weather.
declare -A below=(
  [ports]=''
  [weather]='ports'
  [present]='ports|weather'
  [state]='ports|weather|present'
  [monitor]='ports|weather|present|state'
  [views]='ports|weather|present|state'
  [forecast]='ports|weather|present|state'
  [cities]='ports|weather|present|state|monitor|views'
  [update]='ports|weather'
  [app]='ports|weather|present|state|monitor|views|forecast|cities|update'
)
std_headers='algorithm|any|array|atomic|bit|bitset|cassert|cctype|cerrno|cfloat|charconv|chrono|cinttypes|climits|clocale|cmath|compare|concepts|condition_variable|cstddef|cstdint|cstdio|cstdlib|cstring|ctime|cwchar|cwctype|deque|exception|filesystem|format|fstream|functional|future|initializer_list|iomanip|ios|iosfwd|iostream|istream|iterator|limits|list|locale|map|memory|mutex|new|numbers|numeric|optional|ostream|queue|random|ranges|ratio|regex|set|shared_mutex|source_location|span|sstream|stack|stdexcept|stop_token|streambuf|string|string_view|system_error|thread|tuple|type_traits|typeinfo|unordered_map|unordered_set|utility|variant|vector|version'

bad=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  folder=${rel%%/*}
  allowed_local="^(${folder}${below[$folder]:+|${below[$folder]}})/"
  while IFS= read -r line; do
    number=${line%%:*}
    header=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*//' <<<"$line")
    case $header in
      \<*\>)
        name=${header:1:-1}
        if [[ $name =~ ^($std_headers)$ ]]; then continue; fi
        if [[ $rel != ports/* && $name =~ ^nlohmann/ ]]; then continue; fi
        ;;
      \"*\")
        name=${header:1:-1}
        if [[ $name =~ $allowed_local ]]; then continue; fi
        if [[ $name =~ ^($core_folders)/ ]]; then
          echo "$rel:$number: $folder may not reach up to $header"
          bad=1
          continue
        fi
        ;;
    esac
    echo "$rel:$number: the core may not include $header"
    bad=1
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$src" -mindepth 1 -maxdepth 1 -type d -regextype egrep -regex ".*/($core_folders)" \
  -exec find {} \( -name '*.h' -o -name '*.cpp' \) -type f -print0 \;)

if ((bad)); then exit 1; fi
echo "core includes: standard C++, nlohmann/json and the core's lower layers only"
