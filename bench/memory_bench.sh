#!/usr/bin/env bash
# Runs bench/memory_bench.py under a virtual display and a session bus.
# Usage: bench/memory_bench.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
cmake --build "$build" --target skyvigil bare_frame >/dev/null
exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" dbus-run-session -- \
  /usr/bin/python3 "$root/bench/memory_bench.py" --program "$build/skyvigil" \
  --bare "$build/bare_frame" \
  --service "$root/tools/weather_service.py" --snd "$root/snd" \
  --speechd "$root/tests/e2e/speechd/speechd-testbed.sh"
