#!/usr/bin/env bash
# Runs bench/orca_keys_bench.py under a virtual display and a session bus.
# Usage: bench/orca_keys_bench.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
if ! command -v orca >/dev/null; then
  echo "orca_keys_bench: orca is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
cmake --build "$build" --target skyvigil >/dev/null
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \
  /usr/bin/python3 "$root/bench/orca_keys_bench.py" --program "$build/skyvigil" \
  --service "$root/tools/weather_service.py" --snd "$root/snd" \
  --speechd "$root/tests/e2e/speechd/speechd-testbed.sh"
