#!/usr/bin/env bash
# Synthesizes the four sound cues in snd/ with sox: short 16-bit PCM, 44.1 kHz
# mono tones with soft fades at both ends so that they start and stop without a click.
# Usage: scripts/make-cues.sh [output-folder]   (default: snd/ of the repository)
set -euo pipefail

out="${1:-$(cd "$(dirname "$0")/.." && pwd)/snd}"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# -R: repeatable output; -D: no dither, so the same script always gives the same bytes
# and the faded ends are true silence.
format=(-R -D -r 44100 -b 16 -c 1 -e signed-integer)

# up: a tone rising from E5 to B5.
sox "${format[@]}" -n "$out/up.wav" synth 0.32 sine 659:988 \
  vol 0.45 fade h 0.03 0.32 0.08

# down: the mirror image, falling from B5 to E5.
sox "${format[@]}" -n "$out/down.wav" synth 0.32 sine 988:659 \
  vol 0.45 fade h 0.03 0.32 0.08

# alert: a two-note chime, A5 then E5, each struck softly and left to die away.
sox "${format[@]}" -n "$work/high.wav" synth 0.2 sine 880 sine mix 1760 \
  vol 0.35 fade h 0.005 0.2 0.17
sox "${format[@]}" -n "$work/low.wav" synth 0.26 sine 659.25 sine mix 1318.5 \
  vol 0.35 fade h 0.005 0.26 0.23
sox "${format[@]}" "$work/high.wav" "$work/low.wav" "$out/alert.wav"

# condition: one quiet, round note (C5).
sox "${format[@]}" -n "$out/condition.wav" synth 0.3 sine 523.25 \
  vol 0.3 fade h 0.06 0.3 0.18

for cue in alert up down condition; do
  printf '%s: %s s\n' "$out/$cue.wav" "$(soxi -D "$out/$cue.wav")"
done
