#!/usr/bin/env bash
# Packs one Windows build: the portable zip and the installer.
#   make-dist.sh <version> <Skyvigil.exe> <updater.exe> <out folder> [strip tool]
# The zip holds exactly what the installer installs, and is what the update
# server offers as Skyvigil.zip. With SKYVIGIL_SIGNING_KEY (a minisign secret
# key file) and SKYVIGIL_BUILD set, the zip is signed for updates beside it:
# <zip>.minisig, offered as Skyvigil.zip.minisig, and the signature checked
# as the program will check it: prehashed, by one of the public keys that
# SKYVIGIL_TRUSTED_KEYS lists (separated by ";"). minisign asks for the key's
# password, or reads it from SKYVIGIL_SIGNING_PASSWORD_FILE.
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

if [[ -n ${SKYVIGIL_SIGNING_KEY:-} ]]; then
  # The trusted comment names the file as the program downloads it and the
  # build, which the updater must find newer than its own.
  comment="file:Skyvigil.zip build:${SKYVIGIL_BUILD:?SKYVIGIL_BUILD must be set to sign}"
  if [[ -n ${SKYVIGIL_SIGNING_PASSWORD_FILE:-} ]]; then
    minisign -S -s "$SKYVIGIL_SIGNING_KEY" -m "$zip_file" -x "$zip_file.minisig" -t "$comment" \
      <"$SKYVIGIL_SIGNING_PASSWORD_FILE" >/dev/null
  else
    minisign -S -s "$SKYVIGIL_SIGNING_KEY" -m "$zip_file" -x "$zip_file.minisig" -t "$comment"
  fi
  # Every client refuses the legacy form (the file itself signed, which older
  # minisign makes) and any key it does not trust: the signature must pass the
  # prehashed check (-H) with one of the keys the build trusts.
  IFS=';' read -r -a trusted <<<"${SKYVIGIL_TRUSTED_KEYS:?SKYVIGIL_TRUSTED_KEYS must list the trusted public keys}"
  for key in "${trusted[@]}"; do
    if minisign -V -H -q -p "$key" -m "$zip_file" -x "$zip_file.minisig" 2>/dev/null; then
      exit 0
    fi
  done
  rm -f "$zip_file" "$zip_file.minisig"
  echo "make-dist.sh: the zip's signature is not a prehashed one by a trusted key, which every" \
    "client refuses: check minisign's version and SKYVIGIL_SIGNING_KEY" >&2
  exit 1
fi
