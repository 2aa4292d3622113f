#!/usr/bin/env bash
# signing-test.sh VERSION BIN: make-dist with a throw-away self-signed certificate signs the
# setup and the programs in the archive (osslsigncode verify accepts them), and without one
# it builds them unsigned and says so.
set -euo pipefail
version=$1 bin=$2
here=$(dirname "$(readlink -f "$0")")
make_dist=$here/../../installer/make-dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "signing-test: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=K7 test signing" -days 2 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

K7_SIGN_CERT=$work/cert.pem K7_SIGN_KEY=$work/key.pem "$make_dist" "$version" "$bin" "$work/signed" >"$work/signed.log"
grep -q "signing with $work/cert.pem" "$work/signed.log" || fail "the signed build did not say so: $(cat "$work/signed.log")"
verify "$work/signed/K7-Setup-$version.exe" || fail "setup not signed: $(cat "$work/verify.log")"
(cd "$work" && unzip -q "signed/K7-$version.zip")
for f in K7_Setting.exe k7ctl.exe; do
  verify "$work/K7-$version/$f" || fail "$f in the archive not signed: $(cat "$work/verify.log")"
done

env -u K7_SIGN_CERT -u K7_SIGN_KEY "$make_dist" "$version" "$bin" "$work/unsigned" >"$work/unsigned.log"
grep -q "unsigned" "$work/unsigned.log" || fail "the unsigned build did not say so: $(cat "$work/unsigned.log")"
! verify "$work/unsigned/K7-Setup-$version.exe" || fail "an unsigned setup passed the check"
echo "signing-test: signed and unsigned builds as expected"
