#!/usr/bin/env bash
# Measures the CPU the running program uses while idle: starts it under a
# virtual display against the local weather service with three cities and a
# private speech server (so the speech connection is open), lets the start-up
# finish, then reads its CPU ticks and wake-ups over SECONDS (default 60).
# Usage: bench/idle_cpu.sh BUILD_DIR [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build" "$seconds"
fi

work=$(mktemp -d)
coproc SERVICE { exec /usr/bin/python3 "$root/tools/weather_service.py" --port 0; }
service_pid=$SERVICE_PID
program_pid=""
cleanup() {
  [[ -n "$program_pid" ]] && kill -9 "$program_pid" 2>/dev/null || true
  kill "$service_pid" 2>/dev/null || true
  bash "$root/tests/e2e/speechd/speechd-testbed.sh" stop "$work/speechd" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
read -r line <&"${SERVICE[0]}"
port=${line#PORT }

cp -r "$root/snd" "$work/snd"
printf '[service]\r\nbase_address = http://127.0.0.1:%s/v1\r\n' "$port" >"$work/prefs.ini"
printf '[{"name": "Paris", "monitor": 1, "alerts": 1}, {"name": "London", "alerts": 1},' >"$work/cities.json"
printf ' {"name": "Tokyo"}]' >>"$work/cities.json"

bash "$root/tests/e2e/speechd/speechd-testbed.sh" start "$work/speechd" "$work/speech.txt" >/dev/null
cd "$work"
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} SPEECHD_ADDRESS=unix_socket:"$work/speechd/speechd.sock" \
  "$build/skyvigil" >/dev/null 2>&1 &
program_pid=$!
disown "$program_pid"  # no "Killed" notice when the clean-up ends it
sleep 8  # start-up, the first refresh, its speech and cues, the audio device closing

ticks() {  # user + system ticks of the whole process, and of its main thread
  local all main
  all=$(awk '{print $14 + $15}' "/proc/$program_pid/stat")
  main=$(awk '{print $14 + $15}' "/proc/$program_pid/task/$program_pid/stat")
  echo "$all $main"
}
switches() {  # "tid count" per thread: context switches, each a wake-up or a preemption
  for task in /proc/"$program_pid"/task/*; do
    awk -v t="${task##*/}" '/ctxt_switches/ { n += $2 } END { print t, n }' "$task/status" 2>/dev/null
  done
}
read -r all_before main_before < <(ticks)
switches >"$work/switches-before"
sleep "$seconds"
read -r all_after main_after < <(ticks)
switches >"$work/switches-after"
# Threads present at both ends only: one that ended took its count with it.
wakes=$(awk 'NR == FNR { before[$1] = $2; next } $1 in before { n += $2 - before[$1] } END { print n + 0 }' \
  "$work/switches-before" "$work/switches-after")
hz=$(getconf CLK_TCK)
echo "speech connection open: $(wc -l <"$work/speech.txt") lines spoken at start"
awk -v a=$((all_after - all_before)) -v m=$((main_after - main_before)) -v s="$seconds" -v hz="$hz" \
  -v w="$wakes" \
  'BEGIN { printf "idle over %d s: process %d ticks (%.3f%% of a core), main thread %d ticks (%.3f%%), %d wake-ups\n",
           s, a, 100 * a / hz / s, m, 100 * m / hz / s, w }'
