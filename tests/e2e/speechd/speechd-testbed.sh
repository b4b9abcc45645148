#!/usr/bin/env bash
# Starts or stops a private speech-dispatcher that records what it is asked to say.
#
#   speechd-testbed.sh start RUNDIR RECORD [TIMES]
#       start it; the socket is RUNDIR/speechd.sock, spoken texts are appended to
#       RECORD, and to TIMES (default: RECORD with ".times" added) each message's
#       start and its end or cut, with their times (see speechd/recorder.sh)
#   speechd-testbed.sh stop RUNDIR           stop it and wait until it is gone
#
# After start, point a client at it with SPEECHD_ADDRESS=unix_socket:RUNDIR/speechd.sock.
# SKYVIGIL_SPEECH_DELAY (seconds, default 0) makes each message last that long;
# "realistic" makes it last as long as a voice would take to say it.
# The server also ends by itself SKYVIGIL_SPEECHD_TIMEOUT seconds (default 120)
# after its last client left, in case a crashed test never stops it.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# True while the process runs; an ended one waiting to be reaped counts as gone.
running() {
  local state
  state=$(sed -E 's/^.*\) (.).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [[ -n "$state" && "$state" != Z ]]
}

command=${1:-}
rundir=${2:-}
if [[ -z "$command" || -z "$rundir" ]]; then
  echo "usage: $0 start RUNDIR RECORD [TIMES] | stop RUNDIR" >&2
  exit 2
fi

case "$command" in
  start)
    record=${3:?record file missing}
    times=${4:-$record.times}
    mkdir -p "$rundir/log" "$times.d"
    : >>"$record"
    : >>"$times"
    rm -f "$rundir/speechd.sock" "$rundir/speechd.pid"
    SKYVIGIL_SPEECH_LOG=$(realpath "$record") SKYVIGIL_SPEECH_TIMES=$(realpath "$times") \
      SKYVIGIL_RECORDER="$here/recorder.sh" \
      speech-dispatcher --run-daemon --config-dir "$here" \
      --communication-method unix_socket --socket-path "$rundir/speechd.sock" \
      --pid-file "$rundir/speechd.pid" --log-dir "$rundir/log" \
      --timeout "${SKYVIGIL_SPEECHD_TIMEOUT:-120}" >"$rundir/log/stdout.txt" 2>&1
    # The daemon answers once its socket exists. The pid file may still name the
    # process that forked the daemon, which has ended (the watcher then quit at
    # once): only a running pid is the daemon's.
    for _ in $(seq 100); do
      if [[ -S "$rundir/speechd.sock" && -s "$rundir/speechd.pid" ]] &&
        running "$(cat "$rundir/speechd.pid")"; then
        SKYVIGIL_SPEECH_TIMES=$(realpath "$times") setsid "$here/recorder.sh" --watch \
          "$(cat "$rundir/speechd.pid")" </dev/null >/dev/null 2>&1 &
        echo $! >"$rundir/watcher.pid"
        exit 0
      fi
      sleep 0.05
    done
    echo "speech-dispatcher did not start; see $rundir/log" >&2
    exit 1
    ;;
  stop)
    [[ -s "$rundir/speechd.pid" ]] || exit 0
    pid=$(cat "$rundir/speechd.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
      running "$pid" || break
      sleep 0.05
    done
    if running "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    # The watcher writes the last cut, then ends by itself.
    if [[ -s "$rundir/watcher.pid" ]]; then
      watcher=$(cat "$rundir/watcher.pid")
      for _ in $(seq 40); do
        running "$watcher" || break
        sleep 0.05
      done
      kill -KILL "$watcher" 2>/dev/null || true
    fi
    rm -f "$rundir/speechd.pid" "$rundir/speechd.sock" "$rundir/watcher.pid"
    ;;
  *)
    echo "unknown command: $command" >&2
    exit 2
    ;;
esac
