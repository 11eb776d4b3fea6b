#!/usr/bin/env bash
# signed.sh: the signed release. Makes a throw-away code-signing certificate,
# packages with `scripts/package --sign` and checks that both programs, and
# the Windows Installer package, carry a valid Authenticode signature with
# SHA-256 (osslsigncode verify, against that certificate), that the programs
# still pass scripts/check-pe and start under Wine: each shows its message
# box for a command line it refuses and ends when it is pressed.
#   signed.sh WORKDIR WINCTL.EXE
# Runs in the Wine environment of the end-to-end tests (DISPLAY, WINEPREFIX).
set -u
. "$(dirname "$0")/../../scripts/common.sh"
work=${1:?usage: signed.sh WORKDIR WINCTL.EXE}
winctl_exe=${2:?usage: signed.sh WORKDIR WINCTL.EXE}

fail() { echo "FAILED: $*"; exit 1; }

[ -f "$winctl_exe" ] || fail "no $winctl_exe"
winctl_exe=$(cd "$(dirname "$winctl_exe")" && pwd)/$(basename "$winctl_exe")
rm -rf "$work"
mkdir -p "$work" && cd "$work" || fail "cannot create $work"
work=$(pwd)

# The password goes to openssl and scripts/package through the environment.
GV_SIGN_PASSWORD=$(openssl rand -hex 16) || fail "openssl rand"
export GV_SIGN_PASSWORD
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Gridvane test signing (throw-away)" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  >openssl.log 2>&1 || { cat openssl.log; fail "openssl could not make a certificate"; }
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.pfx -passout env:GV_SIGN_PASSWORD \
  >>openssl.log 2>&1 || { cat openssl.log; fail "openssl could not make signing.pfx"; }
rm -f key.pem

"$GV_TOP/scripts/package" --sign signing.pfx --out "$work/out" >package.log 2>&1 ||
  { cat package.log; fail "scripts/package --sign failed"; }
zip=$(sed -n 's/^== wrote //p' package.log)
unzip -q "$zip" -d unpacked || fail "cannot unpack $zip"
dir=unpacked/$(basename "$zip" .zip)

status=0
for file in "$dir/monopen.exe" "$dir/notify.exe" "${zip%.zip}.msi"; do
  verify=$(osslsigncode verify -CAfile cert.pem -in "$file" 2>&1)
  if [ $? -ne 0 ] || ! grep -q 'Signature verification: ok' <<<"$verify"; then
    echo "$verify"; echo "FAILED: $(basename "$file"): the signature does not verify"; status=1
  fi
  grep -qE 'digest algorithm *: SHA256' <<<"$verify" ||
    { echo "$verify"; echo "FAILED: $(basename "$file") is not signed with SHA-256"; status=1; }
done
for program in monopen notify; do
  "$GV_TOP/scripts/check-pe" "$dir/$program.exe" || { echo "FAILED: signed $program.exe fails check-pe"; status=1; }
done

# winctl ARGS...: the window tool, its output without carriage returns.
winctl() { "$GV_WINE" "$winctl_exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# starts PROGRAM CAPTION MESSAGE ARGS...: the signed program starts, shows
# MESSAGE in a box titled CAPTION, and ends when the box is pressed.
starts() {
  local program=$1 caption=$2 message=$3 pid i said=1; shift 3
  "$GV_WINE" "$dir/$program.exe" "$@" >/dev/null 2>&1 &
  pid=$!
  if ! winctl wait --with 65535 --timeout 30 "$caption" >/dev/null; then
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    echo "FAILED: signed $program.exe showed no window \"$caption\""; return 1
  fi
  winctl list | grep -qF "says \"$message\"" ||
    { winctl list; echo "FAILED: signed $program.exe did not say \"$message\""; said=0; }
  winctl click --with 65535 --timeout 10 "$caption" 1 >/dev/null
  for i in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    echo "FAILED: signed $program.exe did not end after its message box"; return 1
  fi
  wait "$pid" 2>/dev/null
  [ $said = 1 ] && echo "signed $program.exe started and said \"$message\""
}
starts monopen "Gridvane Monitor" "Command line argument error." -unknown || status=1
starts notify "Notification Window" "No Gridvane computer defined." ABCDEFGHIJKLMNOPQRSTUVWXYZ || status=1

[ $status = 0 ] && echo "signed release: both programs and the package verify (SHA-256), the programs pass check-pe and start"
exit $status
