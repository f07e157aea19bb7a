#!/usr/bin/env bash
# Signing with scripts/sign.sh, as the build signs both programs: copies of this build's installer
# and silent installer are signed with a throwaway self-signed code-signing certificate, and
# osslsigncode must verify both against that certificate, and fail on a copy with one byte changed.
#
#   SigningTest.sh INSTALLER SILENT_INSTALLER [signed-build|unsigned-build]
#
# The last argument says whether this build tree signs its programs itself; an unsigned one must
# leave them without any signature.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
installer="$1"
silent="$2"
build_kind="${3:-unsigned-build}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
# Each check's output stays in previous.log for the check after it.
check() {  # <description> <command...>: passes when the command succeeds
  local what="$1"
  shift
  if "$@" >"$work/output.log" 2>&1; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    sed 's/^/    /' "$work/output.log"
    failures=$((failures + 1))
  fi
  mv "$work/output.log" "$work/previous.log"
}
fails() {  # <description> <command...>: passes when the command fails
  local what="$1"
  shift
  if "$@" >"$work/output.log" 2>&1; then
    echo "FAILED: $what (it succeeded)"
    sed 's/^/    /' "$work/output.log"
    failures=$((failures + 1))
  else
    echo "ok: $what"
  fi
  mv "$work/output.log" "$work/previous.log"
}
verify() {  # <program>: against the throwaway certificate only
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1"
}
same_bytes() { cmp -s "$1" "$2"; }
flip_byte() {  # <file> <offset>: inverts one byte in place
  local old
  old=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "\\$(printf '%03o' $((old ^ 0xFF)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# A self-signed certificate for code signing, its key and both in a password-protected PKCS#12.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tessel Signing Test" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -addext "basicConstraints=critical,CA:FALSE" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>"$work/openssl.log" ||
  { cat "$work/openssl.log"; exit 1; }
export TESSEL_SIGN_PASSWORD='throwaway pass "word"'
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/test.pfx" \
  -passout env:TESSEL_SIGN_PASSWORD
export TESSEL_SIGN_PFX="$work/test.pfx"
export SOURCE_DATE_EPOCH=1700000000

if [ "$build_kind" = unsigned-build ]; then
  fails "the unsigned build's installer carries no signature" \
    osslsigncode extract-signature -in "$installer" -out "$work/none"
  fails "the unsigned build's silent installer carries no signature" \
    osslsigncode extract-signature -in "$silent" -out "$work/none"
fi

cp "$silent" "$work/silent.exe"
cp "$installer" "$work/installer.exe"
check "signs the silent installer" "$repo/scripts/sign.sh" --name "Tessel Assistant" \
  "$work/silent.exe"
check "signs the installer into a new file" "$repo/scripts/sign.sh" --name "Tessel Assistant" \
  "$work/installer.exe" "$work/installer-signed.exe"
check "leaves the program it signed into a new file alone" same_bytes "$installer" \
  "$work/installer.exe"
check "the signed silent installer verifies" verify "$work/silent.exe"
check "the signed installer verifies" verify "$work/installer-signed.exe"
check "the signature is SHA-256" grep -qi "sha256" "$work/previous.log"
fails "without the certificate as a trusted CA it does not verify" \
  osslsigncode verify -CAfile /dev/null -in "$work/installer-signed.exe"

# One byte in the signed content: the middle of the file is inside the program's sections.
size=$(stat -c %s "$work/installer-signed.exe")
cp "$work/installer-signed.exe" "$work/changed.exe"
flip_byte "$work/changed.exe" $((size / 2))
fails "one changed byte in the signed installer fails verification" verify "$work/changed.exe"
cp "$work/installer-signed.exe" "$work/changed-end.exe"
flip_byte "$work/changed-end.exe" $((size - 200))
fails "one changed byte in its signature fails verification" verify "$work/changed-end.exe"

# Reproducible at a fixed signing time: the same bytes again, also when signing a signed copy.
"$repo/scripts/sign.sh" "$work/installer.exe" "$work/installer-again.exe" >/dev/null
"$repo/scripts/sign.sh" --name "Tessel Assistant" "$work/installer-signed.exe" \
  "$work/installer-resigned.exe" >/dev/null
check "signing twice at one time gives the same bytes" same_bytes "$work/installer-signed.exe" \
  "$work/installer-resigned.exe"
fails "the description is part of what is signed" same_bytes "$work/installer-signed.exe" \
  "$work/installer-again.exe"

# A wrong password stops with a message and leaves the program as it was.
cp "$installer" "$work/wrong.exe"
fails "a wrong password fails" env TESSEL_SIGN_PASSWORD=wrong "$repo/scripts/sign.sh" \
  "$work/wrong.exe"
check "the message names the certificate" grep -q "test.pfx" "$work/previous.log"
check "a failed signing leaves the program as it was" same_bytes "$installer" "$work/wrong.exe"
fails "no password at all fails" env -u TESSEL_SIGN_PASSWORD "$repo/scripts/sign.sh" \
  "$work/wrong.exe"

if [ $failures -gt 0 ]; then
  echo "$failures signing checks failed"
  exit 1
fi
echo "all signing checks passed"
