#!/usr/bin/env bash
# Signs a Windows program with an Authenticode signature (SHA-256) through osslsigncode:
#
#   scripts/sign.sh [--pfx FILE] [--password-file FILE] [--name TEXT] PROGRAM [SIGNED]
#
# The certificate and its key come from a PKCS#12 file: --pfx, or TESSEL_SIGN_PFX. Its password:
# the first line of --password-file, or TESSEL_SIGN_PASSWORD (handed to osslsigncode in a file of
# its own, never on a command line another user could read). --name is the description Windows
# shows in its elevation prompt. Without SIGNED the program is signed in place; a signature it
# carried before is replaced.
#
# No time-stamping server is asked. The signature holds a signing time: SOURCE_DATE_EPOCH when set
# (scripts/package.sh sets the commit's time), otherwise now. With a fixed time, an RSA key signs
# the same bytes into the same signature; signatures made at two moments without it differ.
set -euo pipefail

pfx="${TESSEL_SIGN_PFX:-}"
password_file=""
name=""
while [ $# -gt 0 ]; do
  case "$1" in
    --pfx) pfx="$2"; shift 2 ;;
    --password-file) password_file="$2"; shift 2 ;;
    --name) name="$2"; shift 2 ;;
    --) shift; break ;;
    -*) echo "sign.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: sign.sh [--pfx FILE] [--password-file FILE] [--name TEXT] PROGRAM [SIGNED]" >&2
  exit 2
fi
program="$1"
signed="${2:-$1}"

fail() { echo "sign.sh: $*" >&2; exit 1; }
command -v osslsigncode >/dev/null || fail "osslsigncode is missing: run scripts/install-deps.sh"
[ -n "$pfx" ] || fail "no certificate: give --pfx or set TESSEL_SIGN_PFX"
[ -f "$pfx" ] || fail "no PKCS#12 file at $pfx"
[ -f "$program" ] || fail "no program at $program"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -z "$password_file" ]; then
  [ -n "${TESSEL_SIGN_PASSWORD+set}" ] ||
    fail "no password for $pfx: give --password-file or set TESSEL_SIGN_PASSWORD"
  password_file="$work/password"
  (umask 077 && printf '%s' "$TESSEL_SIGN_PASSWORD" >"$password_file")
fi
[ -f "$password_file" ] || fail "no password file at $password_file"

# osslsigncode refuses to write over its input, and a half-written program must not stay behind.
unsigned="$work/unsigned.exe"
if osslsigncode extract-signature -in "$program" -out "$work/old-signature" >/dev/null 2>&1; then
  osslsigncode remove-signature -in "$program" -out "$unsigned" >/dev/null ||
    fail "could not take the old signature off $program"
else
  cp "$program" "$unsigned"
fi

options=(-pkcs12 "$pfx" -readpass "$password_file" -h sha256)
[ -z "$name" ] || options+=(-n "$name")
[ -z "${SOURCE_DATE_EPOCH:-}" ] || options+=(-time "$SOURCE_DATE_EPOCH")
if ! osslsigncode sign "${options[@]}" -in "$unsigned" -out "$work/signed.exe" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  fail "signing $program failed (is the password right for $pfx?)"
fi
mv -f "$work/signed.exe" "$signed.signing"
mv -f "$signed.signing" "$signed"
echo "signed $(basename "$signed")"
