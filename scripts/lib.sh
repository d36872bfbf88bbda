# Shared shell functions of the build scripts. Source it from bash:
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORV_CACHE=${ORVANTIS_CACHE:-${HOME:-/root}/.cache/orvantis}
# Start time of the outermost script, shared with the scripts it calls.
printf -v _orv_now '%(%s)T' -1
export ORV_T0=${ORV_T0:-$_orv_now}
ORV_WINE=/usr/lib/wine/wine64
ORV_WINESERVER=/usr/lib/wine/wineserver
ORV_WINEPREFIX_DEFAULT=$ORV_ROOT/build/windows/wineprefix

# Packages each side needs on a fresh Debian 12 machine.
ORV_PKGS_NATIVE=(build-essential cmake ninja-build pkg-config python3
  libexpat1-dev libpcre2-dev libsqlite3-dev libcurl4-openssl-dev libpng-dev
  libjpeg62-turbo-dev libopenjp2-7-dev zlib1g-dev libgtest-dev libgmock-dev
  clang libclang-rt-14-dev expat libssl-dev python3-aiosmtpd libcrypt-dev
  passwd nlohmann-json3-dev python3-jsonschema ansible-core libx11-dev xvfb imagemagick python3-pil libxml2-utils)
ORV_PKGS_WINDEPS=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-tools dpkg-dev nasm tcl make gcc
  xz-utils cmake ninja-build pkg-config)
ORV_PKGS_WINE=(wine64 xvfb xdotool x11-apps liblnk-utils wixl imagemagick python3-pil)

# One short progress line on stderr: elapsed seconds since the start.
orv_stage() {
  local now; printf -v now '%(%s)T' -1
  printf '[%4ds] %s\n' "$((now - ORV_T0))" "$*" >&2
}

orv_die() {
  printf 'error: %s\n' "$*" >&2
  exit 1
}

# Runs a command with its output in a log file; on failure shows the log's
# tail and fails. Usage: orv_logged LOGFILE command...
orv_logged() {
  local log=$1; shift
  mkdir -p "$(dirname "$log")"
  if ! "$@" >"$log" 2>&1; then
    printf 'error: command failed: %s\n--- last lines of %s ---\n' "$*" "$log" >&2
    tail -n 40 "$log" >&2
    return 1
  fi
}

# apt-get update at most once per run (child scripts see ORV_APT_UPDATED);
# with "force", even when it ran already (after adding an apt source).
orv_apt_update() {
  if [[ ${ORV_APT_UPDATED:-0} != 1 || ${1:-} == force ]]; then
    orv_logged "$ORV_CACHE/logs/apt-update.log" \
      apt-get -o DPkg::Lock::Timeout=600 update
    export ORV_APT_UPDATED=1
  fi
}

# Installs the packages that are not installed yet (quietly; apt-get update
# only when something is missing).
orv_ensure_packages() {
  local missing=() p st
  for p in "$@"; do
    st=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [[ $st == installed ]] || missing+=("$p")
  done
  [[ ${#missing[@]} == 0 ]] && return 0
  [[ $(id -u) == 0 ]] || orv_die "missing packages (need root to install): ${missing[*]}"
  orv_stage "installing ${missing[*]}"
  orv_apt_update
  DEBIAN_FRONTEND=noninteractive orv_logged "$ORV_CACHE/logs/apt-install.log" \
    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
}

# The private Wine prefix used by scripts/wine-run.
orv_wineprefix() {
  printf '%s\n' "${ORVANTIS_WINEPREFIX:-$ORV_WINEPREFIX_DEFAULT}"
}

# Creates the private Wine prefix once (the first start takes several
# seconds). wineboot's exit status is not reliable with a 64-bit-only Wine
# (it reports the missing 32-bit part), so the prefix itself is checked.
orv_wine_init() {
  local wp; wp=$(orv_wineprefix)
  export WINEPREFIX=$wp WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -f $wp/.orvantis-ready ]] && return 0
  # A half-made prefix (or one made outside these scripts) starts over.
  "$ORV_WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$wp"
  mkdir -p "$(dirname "$wp")" "$ORV_CACHE/logs"
  local log=$ORV_CACHE/logs/wineboot.log
  "$ORV_WINE" wineboot -i </dev/null >"$log" 2>&1 || true
  "$ORV_WINESERVER" -w || true
  if [[ ! -f $wp/system.reg || ! -d $wp/drive_c/windows/system32 ]]; then
    printf 'error: wineboot did not create %s; last lines of %s:\n' "$wp" "$log" >&2
    tail -n 20 "$log" >&2
    return 1
  fi
  touch "$wp/.orvantis-ready"
}

# Starts a persistent wineserver for the prefix; exit status 2 means one
# already runs, which is fine.
ORV_WINESERVER_STARTED=0
orv_wineserver_start() {
  local rc=0
  ORV_WINESERVER_STARTED=1
  # The server stays in the background: keep it off our output streams.
  "$ORV_WINESERVER" -p </dev/null >/dev/null 2>&1 || rc=$?
  if [[ $rc != 0 && $rc != 2 ]]; then
    echo "error: wineserver -p failed ($rc)" >&2
    return 1
  fi
  # The first program run in a prefix starts Wine's own services, which
  # inherit its output streams and, with a persistent server, keep them open
  # for good: whoever reads that program's output (ctest, test discovery)
  # would then wait forever. Start them here, attached to nothing.
  "$ORV_WINE" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
}

# Stops the wineserver of our prefix (and the Windows processes in it).
orv_wineserver_stop() {
  if [[ $ORV_WINESERVER_STARTED == 1 ]]; then
    "$ORV_WINESERVER" -k >/dev/null 2>&1 || true
    ORV_WINESERVER_STARTED=0
  fi
}

ORV_XVFB_PID=
# Starts Xvfb on a free display and exports DISPLAY.
orv_xvfb_start() {
  local fdfile; fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  ORV_XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -s $fdfile ]] && break
    kill -0 "$ORV_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s $fdfile ]]; then
    rm -f "$fdfile"
    echo "error: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
  rm -f "$fdfile"
}

orv_xvfb_stop() {
  if [[ -n $ORV_XVFB_PID ]]; then
    kill "$ORV_XVFB_PID" 2>/dev/null || true
    wait "$ORV_XVFB_PID" 2>/dev/null || true
    ORV_XVFB_PID=
  fi
}

# Builds (or restores from the cache) the Windows libraries; prints the prefix.
orv_windeps() {
  bash "$ORV_ROOT/scripts/build-windows-deps" | tail -n 1
}

# Configures a preset when its build tree is missing, or when the given
# extra arguments or the presets file changed since the last configure.
# Usage: orv_configure PRESET args...
orv_configure() {
  local preset=$1; shift
  local dir=$ORV_ROOT/build/$preset stamp args fresh=()
  stamp=$dir/.orvantis-configure-args
  args=$(printf '%s\n' "$@"; sha256sum <"$ORV_ROOT/CMakePresets.json")
  if [[ -f $dir/CMakeCache.txt && -f $dir/build.ninja && -f $stamp && $(cat "$stamp") == "$args" ]]; then
    return 0
  fi
  # Changed arguments (for instance a new dependency prefix) need a fresh
  # cache, or stale library paths of the old configure would stay.
  [[ -f $dir/CMakeCache.txt ]] && fresh=(--fresh)
  (cd "$ORV_ROOT" && cmake --preset "$preset" "${fresh[@]}" "$@") || return 1
  printf '%s' "$args" >"$stamp"
}
