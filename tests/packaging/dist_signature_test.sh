#!/usr/bin/env bash
# The zip keeps its signature, and is kept, only when the signature passes the
# check every client makes: prehashed, by a key the build trusts. A minisign
# that signs in the legacy form, or a key the build does not trust, fails the
# packing and leaves neither behind. Runs cpack's post-build script as cpack
# runs it after packing: the zip still in cpack's folder, the signature
# written where cpack copies the zip.
#   dist_signature_test.sh <sign_update.cmake>
set -euo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for key in trusted next untrusted; do
  minisign -G -W -p $key.pub -s $key.key >/dev/null
done
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
  local packed=$work/packed-$1 out=$work/out-$1 code=0
  mkdir -p "$packed" "$out"
  printf 'PK zip' >"$packed/Skyvigil-0.1-win64.zip"
  printf 'MZ setup' >"$packed/Skyvigil-0.1-setup.exe"
  PATH="${3:+$3:}$PATH" cmake -D "CPACK_PACKAGE_FILES=$packed/Skyvigil-0.1-win64.zip;$packed/Skyvigil-0.1-setup.exe" \
    -D "CPACK_PACKAGE_DIRECTORY=$out" -D "CPACK_SKYVIGIL_SIGNING_KEY=$work/$2.key" \
    -D CPACK_SKYVIGIL_BUILD=24 -D "CPACK_SKYVIGIL_TRUSTED_KEY_FILES=$work/trusted.pub;$work/next.pub" \
    -P "$script" >"$work/log-$1" 2>&1 || code=$?
  local left
  left=$(cd "$work" && find "packed-$1" "out-$1" -type f | sed "s/-$1//" | sort | tr '\n' ' ')
  if [[ $code != "$4" || $left != "$5" ]]; then
    echo "FAIL $1: exit $code (expected $4), left: $left(expected: $5)"
    cat "$work/log-$1"
    failed=1
  else
    echo "ok   $1"
  fi
}

signed="out/Skyvigil-0.1-win64.zip.minisig packed/Skyvigil-0.1-setup.exe packed/Skyvigil-0.1-win64.zip "
check "prehashed by the current key" trusted "" 0 "$signed"
check "prehashed by the next key" next "" 0 "$signed"
check "legacy form" trusted "$work/legacy" 1 "packed/Skyvigil-0.1-setup.exe "
check "a key not trusted" untrusted "" 1 "packed/Skyvigil-0.1-setup.exe "
exit $failed
