#!/usr/bin/env bash
# make-dist.sh keeps a zip and its signature only when the signature passes the
# check every client makes: prehashed, by a key the build trusts. A minisign
# that signs in the legacy form, or a key the build does not trust, fails it
# and leaves neither behind.
#   dist_signature_test.sh <make-dist.sh>
set -euo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for key in trusted next untrusted; do
  minisign -G -W -p $key.pub -s $key.key >/dev/null
done
printf 'MZ program' >Skyvigil.exe
printf 'MZ updater' >updater.exe
# A minisign that signs in the legacy form, as versions before 0.10 did.
mkdir legacy
cat >legacy/minisign <<WRAPPER
#!/usr/bin/env bash
if [[ \$1 == -S ]]; then shift; exec $(command -v minisign) -S -l "\$@"; fi
exec $(command -v minisign) "\$@"
WRAPPER
chmod +x legacy/minisign

failed=0
# <case> <signing key> <folder put first in PATH, or ""> <exit code> <files left>
check() {
  local out=$work/out-$1 code=0
  PATH="${3:+$3:}$PATH" SKYVIGIL_SIGNING_KEY=$work/$2.key SKYVIGIL_BUILD=24 \
    SKYVIGIL_TRUSTED_KEYS="$work/trusted.pub;$work/next.pub" \
    bash "$script" 0.1 Skyvigil.exe updater.exe "$out" >"$work/log-$1" 2>&1 || code=$?
  local left
  left=$(cd "$out" && ls | tr '\n' ' ')
  if [[ $code != "$4" || $left != "$5" ]]; then
    echo "FAIL $1: exit $code (expected $4), left: $left(expected: $5)"
    cat "$work/log-$1"
    failed=1
  else
    echo "ok   $1"
  fi
}

check "prehashed by the current key" trusted "" 0 \
  "Skyvigil-0.1-setup.exe Skyvigil-0.1-win64.zip Skyvigil-0.1-win64.zip.minisig "
check "prehashed by the next key" next "" 0 \
  "Skyvigil-0.1-setup.exe Skyvigil-0.1-win64.zip Skyvigil-0.1-win64.zip.minisig "
check "legacy form" trusted "$work/legacy" 1 "Skyvigil-0.1-setup.exe "
check "a key not trusted" untrusted "" 1 "Skyvigil-0.1-setup.exe "
exit $failed
