#!/usr/bin/env bash
# Builds Skyvigil and starts it.
#   demo.sh demo        a fresh demo/ folder against the local weather service
#   demo.sh run DIR     the program in DIR (made, with the sound cues, if absent)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

mode=${1:-demo}
if [[ "$mode" == run && -z "${2:-}" ]]; then
  echo "usage: make run DIR=<folder>" >&2
  exit 2
fi

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target skyvigil
program="$root/build/default/skyvigil"

if [[ "$mode" == run ]]; then
  dir=$2
  mkdir -p "$dir"
  if [[ ! -d "$dir/snd" ]]; then
    cp -r "$root/snd" "$dir/snd"
  fi
  cd "$dir"
  exec "$program"
fi

# The local weather service: its first line names the port it took. It is
# stopped when the program ends, however the script ends.
coproc SERVICE { exec /usr/bin/python3 "$root/tools/weather_service.py" --port 0; }
service_pid=$SERVICE_PID
trap 'kill "$service_pid" 2>/dev/null || true' EXIT
read -r line <&"${SERVICE[0]}"
port=${line#PORT }
if [[ ! "$port" =~ ^[0-9]+$ ]]; then
  echo "the weather service did not start: $line" >&2
  exit 1
fi

demo="$root/demo"
rm -rf "$demo"
mkdir -p "$demo/snd"
cp "$root"/snd/*.wav "$demo/snd/"
# A key of the demo's own, which the local service accepts: no key dialog.
printf '[service]\r\nbase_address = http://127.0.0.1:%s/v1\r\napi_key = 5ca1ab1e0ddba11c0ffee0005eed0001\r\n' \
  "$port" >"$demo/prefs.ini"
# Paris is monitored with stale values, so its change is announced at once;
# London has weather alerts in force; Tokyo is just listed.
cat >"$demo/cities.json" <<'JSON'
[
  {"name": "Paris, Ile-de-France, France", "temp": 40, "monitor": 1, "alerts": 0,
   "condition": "Heavy snow"},
  {"name": "London", "temp": 0, "monitor": 0, "alerts": 1, "condition": ""},
  {"name": "Tokyo", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}
]
JSON

echo "Skyvigil runs in $demo against the local weather service on port $port."
cd "$demo"
"$program"
