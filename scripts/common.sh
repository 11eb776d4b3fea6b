# common.sh: shared steps of scripts/test and scripts/demo (sourced).
#
#   ensure_packages         install what a fresh machine lacks (Debian),
#                           wine32 (i386) among it where the machine takes it
#   build_config NAME ...   configure and build build/NAME (all targets, or
#                           those named in GV_BUILD_TARGETS)
#   start_wine_env          own Xvfb display, persistent wineserver, prefix;
#                           sets GV_RUN32 to 1 when 32-bit programs run
#   stop_wine_env           stop by process id what start_wine_env started
#
# Wine is called by the paths Debian's wine64 package installs: the `wine`
# and `wineserver` commands come from another package.

GV_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
GV_BUILD=${GV_BUILD:-$GV_TOP/build}
GV_WINE=/usr/lib/wine/wine64
GV_WINESERVER=/usr/lib/wine/wineserver64

say() { printf '== %s\n' "$*"; }

# script_help: the opening comment of the running script, what it does and
# its usage, for --help.
script_help() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; }

# usage_error SENTENCE: a wrong or missing argument said in a sentence of
# its own, and where the usage is; exit code 2.
usage_error() { printf '%s: %s. %s --help shows the usage.\n' "$0" "$*" "$0" >&2; exit 2; }

# command-or-file  package
GV_NEEDS=(
  "cmake cmake"
  "ninja ninja-build"
  "clang++ clang"
  "g++ g++"
  "python3 python3"
  "/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.asan-x86_64.a libclang-rt-14-dev"
  "i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix"
  "x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "$GV_WINE wine64"
  "$GV_WINESERVER wine64"
  "Xvfb xvfb"
  "xauth xauth"
  "import imagemagick"
  "zip zip"
  "unzip unzip"
  "osslsigncode osslsigncode"
  "wixl wixl"
  "msibuild msitools"
  "faketime faketime"
  "openssl openssl"
  "/usr/src/googletest/CMakeLists.txt googletest"
  "stress-ng stress-ng"
  "gdb gdb"
)

# as_root COMMAND...: the command as root (through sudo for another user).
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    "$@" >/dev/null
}

ensure_packages() {
  local missing=() item what pkg
  for item in "${GV_NEEDS[@]}"; do
    what=${item% *}; pkg=${item##* }
    if [[ $what == /* ]]; then [ -e "$what" ] && continue
    else command -v "$what" >/dev/null 2>&1 && continue
    fi
    missing+=("$pkg")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing: ${missing[*]}"
    as_root apt-get update -qq || return 1
    apt_install "${missing[@]}" || return 1
  fi
  ensure_wine32
  return 0
}

# The shipped programs are 32-bit: Wine runs them with wine32 from the i386
# architecture, and the X libraries of that word size that the 64-bit side
# has. Not fatal: where it cannot be had, start_wine_env finds that 32-bit
# programs do not run and scripts/test falls back to the 64-bit build.
GV_WINE32_PACKAGES=(wine32:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxcursor1:i386 libxcomposite1:i386 libxinerama1:i386 libxfixes3:i386 libxxf86vm1:i386)

ensure_wine32() {
  wine32_installed && return 0
  say "installing wine32 (i386) for the 32-bit programs"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 || { say "WARNING: dpkg --add-architecture i386 failed"; return 1; }
  fi
  as_root apt-get update -qq || { say "WARNING: apt-get update failed; wine32 not installed"; return 1; }
  apt_install "${GV_WINE32_PACKAGES[@]}" || { say "WARNING: wine32:i386 could not be installed"; return 1; }
}

wine32_installed() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'
}

# build_config NAME [cmake options...]
build_config() {
  local name=$1; shift
  local targets=()
  [ -n "${GV_BUILD_TARGETS:-}" ] && read -ra targets <<<"$GV_BUILD_TARGETS"
  say "build $name${GV_BUILD_TARGETS:+ ($GV_BUILD_TARGETS)}"
  cmake -S "$GV_TOP" -B "$GV_BUILD/$name" -G Ninja -Wno-dev "$@" >/dev/null || return 1
  cmake --build "$GV_BUILD/$name" ${targets[@]+--target "${targets[@]}"} -- -k 0 || return 1
}

build_host()    { build_config host -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "$@"; }
build_mingw64() { build_config mingw64 -DCMAKE_TOOLCHAIN_FILE="$GV_TOP/cmake/toolchain-mingw64.cmake" -DCMAKE_BUILD_TYPE=Release "$@"; }
build_mingw32() { build_config mingw32 -DCMAKE_TOOLCHAIN_FILE="$GV_TOP/cmake/toolchain-mingw32.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel "$@"; }

# release_programs: makes the release zip (scripts/package) and unpacks it
# into build/shipped; prints the folder that holds the programs.
release_programs() {
  local log=$GV_BUILD/package.log zip
  "$GV_TOP/scripts/package" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
  zip=$(sed -n 's/^== wrote //p' "$log")
  [ -f "$zip" ] || { echo "scripts/package named no zip" >&2; return 1; }
  rm -rf "$GV_BUILD/shipped"
  unzip -q "$zip" -d "$GV_BUILD/shipped" || return 1
  local dir=$GV_BUILD/shipped/$(basename "$zip" .zip)
  [ -f "$dir/monopen.exe" ] && [ -f "$dir/notify.exe" ] || { echo "no programs in $zip" >&2; return 1; }
  echo "$dir"
}

# report_evidence DIR: names the evidence folders that failed end-to-end
# tests left under DIR/evidence (see tests/e2e/harness.h).
report_evidence() {
  local test found=""
  for test in "$1"/evidence/*/*/; do
    [ -d "$test" ] || continue
    [ -n "$found" ] || say "evidence of the failed end-to-end tests (windows, screenshot, Wine's log):"
    found=1
    say "    ${test#"$GV_TOP"/}"
  done
}

# pe_format FILE: "PE32 i386" or "PE32+ x86-64", as objdump reads the file.
pe_format() {
  case $(x86_64-w64-mingw32-objdump -f "$1" 2>/dev/null) in
    *"file format pei-i386"*) echo "PE32 i386" ;;
    *"file format pei-x86-64"*) echo "PE32+ x86-64" ;;
    *) echo "not a PE image" ;;
  esac
}

# u16/u32 FILE OFFSET: the little-endian 16- or 32-bit number there.
u16() { od -An -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }
u32() { od -An -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }

GV_XVFB_PID=""
GV_WINESERVER_PID=""
GV_RUN32=0

free_display() {
  local n
  for n in $(seq 71 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return 0; }
  done
  return 1
}

# start_wine_env [prefix-dir]: exports DISPLAY, WINEPREFIX and friends, and
# GV_RUN32 (1: this machine runs 32-bit Windows programs).
start_wine_env() {
  export WINEPREFIX=${1:-$GV_BUILD/wineprefix}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=-all
  unset WINEARCH
  local tool
  for tool in "$GV_WINE" "$GV_WINESERVER"; do
    [ -x "$tool" ] || { echo "$tool is missing (Debian package wine64)"; return 1; }
  done
  if [ -z "${GV_USE_DISPLAY:-}" ]; then
    local n; n=$(free_display) || { echo "no free X display number"; return 1; }
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    GV_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start on :$n"; return 1; }
  fi
  local fresh=""
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  start_prefix || return 1
  GV_RUN32=0
  if probe_32bit; then
    GV_RUN32=1
  elif [ -z "$fresh" ] && wine32_installed && loader32_runs; then
    # A prefix made before wine32 was installed has no 32-bit system
    # files, and no 32-bit program starts in it. Where the kernel refuses
    # i386 code, no prefix would help, and it is kept.
    say "the Wine prefix $WINEPREFIX cannot run 32-bit programs: making it again"
    stop_wineserver
    rm -rf "$WINEPREFIX"
    start_prefix || return 1
    probe_32bit && GV_RUN32=1
  fi
  return 0
}

# probe_32bit: does a 32-bit program run? Wine's own 32-bit command
# interpreter is started and must end with the code it is given.
probe_32bit() {
  timeout 120 "$GV_WINE" 'C:\windows\syswow64\cmd.exe' /c exit 7 >/dev/null 2>&1
  [ $? -eq 7 ]
}

# loader32_runs: does the kernel run Wine's 32-bit loader at all? Where it
# refuses i386 code, the loader cannot even say its version ("Exec format
# error"), whatever the prefix holds.
loader32_runs() {
  "${GV_WINE%64}" --version >/dev/null 2>&1
}

# start_prefix: the persistent server for WINEPREFIX, and the prefix made
# by the first command when it is not there yet.
start_prefix() {
  mkdir -p "$WINEPREFIX"
  "$GV_WINESERVER" -p -f >/dev/null 2>&1 &
  GV_WINESERVER_PID=$!
  # Wait for the server's socket, so that no wine command starts a second one.
  # Its directory is server-<device>-<inode of the prefix> under a
  # temporary directory of Wine's own choosing.
  local server i up=""
  server="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
  for i in $(seq 100); do
    compgen -G "/tmp/.wine-$(id -u)/$server/socket" >/dev/null && up=1
    compgen -G "/tmp/wine-*/$server/socket" >/dev/null && up=1
    [ -n "$up" ] && break
    sleep 0.1
  done
  [ -n "$up" ] || { echo "$GV_WINESERVER did not start ($server)"; return 1; }
  [ -f "$WINEPREFIX/system.reg" ] || say "creating the Wine prefix $WINEPREFIX"
  # The first command creates the prefix when needed. A crash ends the
  # program instead of waiting in the debugger; no window manager runs, so
  # windows are not managed.
  wine_reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f || return 1
  wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return 1
}

# wine_reg ARGS...: "wine64 reg ARGS", tried again once (the command that
# creates the prefix may end before the registry is ready).
wine_reg() {
  "$GV_WINE" reg "$@" >/dev/null 2>&1 && return 0
  sleep 1
  "$GV_WINE" reg "$@" >/dev/null 2>&1 || { echo "wine64 reg $* failed"; return 1; }
}

stop_wineserver() {
  [ -n "$GV_WINESERVER_PID" ] || return 0
  "$GV_WINESERVER" -k >/dev/null 2>&1
  kill "$GV_WINESERVER_PID" 2>/dev/null
  wait "$GV_WINESERVER_PID" 2>/dev/null
  GV_WINESERVER_PID=""
}

stop_wine_env() {
  stop_wineserver
  if [ -n "$GV_XVFB_PID" ]; then
    kill "$GV_XVFB_PID" 2>/dev/null
    wait "$GV_XVFB_PID" 2>/dev/null
    GV_XVFB_PID=""
  fi
}
