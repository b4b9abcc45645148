#!/usr/bin/env bash
# Packs one Windows build: the portable zip and the installer.
#   make-dist.sh <version> <Skyvigil.exe> <updater.exe> <out folder> [strip tool]
# The zip holds exactly what the installer installs, and is what the update
# server offers as Skyvigil.zip.
set -euo pipefail

if [[ $# -lt 4 ]]; then
  echo "usage: $0 <version> <Skyvigil.exe> <updater.exe> <out folder> [strip tool]" >&2
  exit 2
fi
version=$1 program=$2 updater=$3 out=$4 strip=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/snd" "$out"
cp "$program" "$stage/Skyvigil.exe"
cp "$updater" "$stage/updater.exe"
if [[ -n $strip ]]; then
  "$strip" --strip-all "$stage/Skyvigil.exe" "$stage/updater.exe"
fi
for cue in alert up down condition; do
  cp "$root/snd/$cue.wav" "$stage/snd/"
done
# Windows line ends, so that Notepad shows the lines.
sed 's/$/\r/' "$here/README.txt" >"$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

zip_file=$out/Skyvigil-$version-win64.zip
rm -f "$zip_file"
# -X: no Unix owners or extra times; -D: no folder entries.
(cd "$stage" && zip -q -X -D -9 "$zip_file" Skyvigil.exe updater.exe README.txt LICENSE.txt \
  snd/alert.wav snd/up.wav snd/down.wav snd/condition.wav)

makensis -V2 -NOCD "-DVERSION=$version" "-DSTAGE=$stage" \
  "-DOUTFILE=$out/Skyvigil-$version-setup.exe" "$here/skyvigil.nsi"
