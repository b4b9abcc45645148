#!/bin/sh
# Runs a command with a private HOME whose ALSA default device discards all
# sound, so XAudio2 under wine finds a device on machines without a sound card.
home="${TMPDIR:-/tmp}/skyvigil-null-sound-$(id -u)"
mkdir -p "$home"
printf 'pcm.!default { type null }\n' >"$home/.asoundrc"
HOME="$home" exec "$@"
