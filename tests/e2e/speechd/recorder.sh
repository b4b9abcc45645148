#!/usr/bin/env bash
# The recorder module's "voice":
#
#   recorder.sh TEXT         appends TEXT as one line to $SKYVIGIL_SPEECH_LOG, then
#                            "sounds" for $SKYVIGIL_SPEECH_DELAY seconds (default 0)
#                            or, when that is "realistic", for 0.25 s plus 1 s per
#                            18 characters
#   recorder.sh --watch PID  runs beside the server PID (speechd-testbed.sh starts it)
#
# With $SKYVIGIL_SPEECH_TIMES set, each message also appends to that file
# "<epoch seconds>\tstart\tTEXT", then "end" or, when the server stopped it first,
# "cut", with the time it was found gone; a message's lines always come before
# the next message's start. The server stops a message with SIGKILL to its
# process group, which nothing can trap, so a message never logs its own end:
# it leaves one marker file when it has sounded whole, and the next message, or
# the watcher for the last one, finds it gone and logs "end" or "cut". (A kill
# between two steps of its own logging would leave the next message waiting.)
# Up to its start line a message runs without a fork (unless the one before is
# still being stopped), so a quick kill still leaves it in the timed log.
export LC_ALL=C.UTF-8  # ${#text} counts characters
times=${SKYVIGIL_SPEECH_TIMES:-}
pending="$times.d"  # PID.text for each message, PID.ended once sounded, PID.told once logged

log() { printf '%s\t%s\t%s\n' "$EPOCHREALTIME" "$1" "$2" >>"$times"; }

gone() {  # a process that ended but was not reaped yet (a zombie) counts as gone
  local stat
  read -r stat <"/proc/$1/stat" 2>/dev/null || return 0
  stat=${stat##*) }
  [[ "${stat%% *}" == Z ]]
}

# Logs how message PID ended, once: true for the caller that did. Only the
# watcher and later messages call it, never a message that may yet be killed.
tell() {
  local made text
  set -C
  { : >"$pending/$1.claimed"; } 2>/dev/null
  made=$?
  set +C
  ((made == 0)) || return 1
  read -r text <"$pending/$1.text" 2>/dev/null || return 1  # told and cleared meanwhile
  log "$2" "$text"
  : >"$pending/$1.told"
}

cut_if_gone() {
  local pid=${1##*/}
  pid=${pid%.text}
  [[ -e "$pending/$pid.told" ]] && return 0
  gone "$pid" || return 1
  if [[ -e "$pending/$pid.ended" ]]; then
    tell "$pid" end
  else
    tell "$pid" cut
  fi
}

if [[ "${1:-}" == --watch ]]; then
  server=$2
  exec {tick}<> <(:)  # read -t on it waits without a fork
  while :; do
    server_gone=0
    gone "$server" && server_gone=1
    for file in "$pending"/*.text; do
      [[ -f "$file" ]] || continue
      # The text first: a message checking it meanwhile then never logs it twice.
      cut_if_gone "$file" && rm -f "$file" && rm -f "${file%.text}".*
    done
    ((server_gone)) && exit 0
    read -r -t 0.02 -u "$tick"
  done
fi

text=$1
printf '%s\n' "$text" >>"$SKYVIGIL_SPEECH_LOG"
if [[ -n "$times" ]]; then
  # A message still here is being stopped: wait (a little) for its cut.
  for file in "$pending"/*.text; do
    for ((tries = 0; tries < 100; tries++)); do
      [[ -f "$file" ]] || break
      cut_if_gone "$file" && break
      [[ -e "${file%.text}.told" ]] && break
      sleep 0.01
    done
  done
  printf '%s\n' "$text" >"$pending/$$.text"
  log start "$text"
fi

delay=${SKYVIGIL_SPEECH_DELAY:-0}
if [[ "$delay" == realistic ]]; then
  ms=$((250 + ${#text} * 1000 / 18))
  printf -v delay '%d.%03d' $((ms / 1000)) $((ms % 1000))
fi
sleep "$delay"
if [[ -n "$times" ]]; then
  : >"$pending/$$.ended"
fi
