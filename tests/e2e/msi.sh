#!/usr/bin/env bash
# msi.sh: the Windows Installer package under Wine's msiexec. Packages the
# release (scripts/package --out), makes the same files into a package of a
# lower version (packaging/make-msi, with a README of its own, so that what
# it leaves behind shows), and runs COMMAND, the installation test program
# (msi_test.cpp), with both.
#   msi.sh WORKDIR COMMAND...
# Runs in the Wine environment of the end-to-end tests (DISPLAY, WINEPREFIX).
set -u
. "$(dirname "$0")/../../scripts/common.sh"
work=${1:?usage: msi.sh WORKDIR COMMAND...}
shift
[ $# -gt 0 ] || { echo "usage: msi.sh WORKDIR COMMAND..."; exit 2; }

fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work" && work=$(cd "$work" && pwd) || fail "cannot create $work"
"$GV_TOP/scripts/package" --out "$work/out" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package failed"; }
zip=$(sed -n 's/^== wrote //p' "$work/package.log")
msi=${zip%.zip}.msi
[ -f "$msi" ] || fail "scripts/package wrote no $msi"
unzip -q "$zip" -d "$work" || fail "cannot unpack $zip"
release=$work/$(basename "$zip" .zip)

older=$work/older
mkdir -p "$older" && cp "$release"/* "$older/" || fail "cannot copy $release"
echo "The README of the older version." >"$older/README.md"
touch -d @1577836800 "$older"/*
"$GV_TOP/packaging/make-msi" "$older" 0.9.0 older 1577836800 "$work/older.msi" >"$work/older.log" 2>&1 ||
  { cat "$work/older.log"; fail "packaging/make-msi could not make the older package"; }

# The installer's menu builder would add the shortcuts to the desktop's
# menus outside the prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe="
export GV_MSI="Z:$msi" GV_MSI_OLDER="Z:$work/older.msi" GV_RELEASE_DIR="Z:$release"
export GV_MSI_VERSION=$(sed -n 's/^#define GV_VERSION_TEXT "\(.*\)"$/\1/p' "$GV_TOP/common/core/version.h")
export GV_MSI_UPGRADE_CODE=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
if probe_32bit; then
  export GV_RUN32=1
else
  export GV_RUN32=0
  say "WARNING: this machine does not run 32-bit Windows programs: the installed"
  say "WARNING: notify.exe is NOT started from its shortcut's command line"
fi
exec "$@"
