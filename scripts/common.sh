# common.sh: shared steps of scripts/test and scripts/demo (sourced).
#
#   ensure_packages         install what a fresh machine lacks (Debian)
#   build_config NAME ...   configure and build build/NAME (all targets, or
#                           those named in GV_BUILD_TARGETS)
#   start_wine_env          own Xvfb display, persistent wineserver, prefix
#   stop_wine_env           stop by process id what start_wine_env started

GV_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
GV_BUILD=${GV_BUILD:-$GV_TOP/build}
GV_WINE=/usr/lib/wine/wine64

say() { printf '== %s\n' "$*"; }

# command-or-file  package
GV_NEEDS=(
  "cmake cmake"
  "ninja ninja-build"
  "clang++ clang"
  "/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.asan-x86_64.a libclang-rt-14-dev"
  "i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix"
  "x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "$GV_WINE wine64"
  "Xvfb xvfb"
  "xauth xauth"
  "import imagemagick"
  "zip zip"
  "/usr/src/googletest/CMakeLists.txt googletest"
)

ensure_packages() {
  local missing=() item what pkg
  for item in "${GV_NEEDS[@]}"; do
    what=${item% *}; pkg=${item##* }
    if [[ $what == /* ]]; then [ -e "$what" ] && continue
    else command -v "$what" >/dev/null 2>&1 && continue
    fi
    missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null || return 1
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

GV_XVFB_PID=""
GV_WINESERVER_PID=""

free_display() {
  local n
  for n in $(seq 71 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return 0; }
  done
  return 1
}

# start_wine_env [prefix-dir]: exports DISPLAY, WINEPREFIX and friends.
start_wine_env() {
  export WINEPREFIX=${1:-$GV_BUILD/wineprefix}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=-all
  unset WINEARCH
  if [ -z "${GV_USE_DISPLAY:-}" ]; then
    local n; n=$(free_display) || { echo "no free X display number"; return 1; }
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    GV_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start on :$n"; return 1; }
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p -f >/dev/null 2>&1 &
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
  [ -n "$up" ] || { echo "wineserver did not start ($server)"; return 1; }
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

stop_wine_env() {
  if [ -n "$GV_WINESERVER_PID" ]; then
    wineserver -k >/dev/null 2>&1
    kill "$GV_WINESERVER_PID" 2>/dev/null
    wait "$GV_WINESERVER_PID" 2>/dev/null
    GV_WINESERVER_PID=""
  fi
  if [ -n "$GV_XVFB_PID" ]; then
    kill "$GV_XVFB_PID" 2>/dev/null
    wait "$GV_XVFB_PID" 2>/dev/null
    GV_XVFB_PID=""
  fi
}
