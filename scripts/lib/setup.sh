# Shared set-up for the project's scripts: installs what is missing on a Debian machine,
# builds with the cross compiler and prepares a throw-away Wine prefix under the build tree.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${PALLENDO_BUILD:-$ROOT/build}"

log() { printf '[pallendo] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local wanted=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
                binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils imagemagick
                fonts-ipafont-gothic fonts-wine locales googletest
                xdotool  # real keyboard input on the virtual display for the acceptance tests
                fp-utils  # chmcmd compiles the help file
                clang-14 libclang-rt-14-dev  # libFuzzer and the sanitizers for scripts/fuzz
                zip unzip "$@")  # scripts/package
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    log "generating the ja_JP.UTF-8 locale"
    as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

build_all() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD" "$@"
}

# The Wine environment every run uses: its own HOME and prefix inside the build tree,
# Japanese locale, no menu builder (it would write launchers into the host's menus).
wine_env() {
  export HOME="$BUILD/home"
  export PALLENDO_TEST_HOME="$HOME"  # Wine does not pass HOME on to its programs
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml="
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
  unset XDG_RUNTIME_DIR
  # Wine moves deleted files into the home trash only when that trash already exists.
  mkdir -p "$HOME" "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
}

XVFB_PID=""
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    # A display that answers belongs to another run even without a lock file in this /tmp;
    # the keys the tests type must never reach that run's windows.
    xdpyinfo -display ":$n" >/dev/null 2>&1 && continue
    Xvfb ":$n" -screen 0 "${PALLENDO_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  log "could not start Xvfb"; return 1
}

stop_all() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
  XVFB_PID=""
  unmount_small_disk
}

# A small disk for the test of a copy that fills one up: a 16 MiB memory file system in the build
# tree. Mounting takes root (or sudo without a password); where neither is at hand, that one test
# says so and is skipped.
SMALL_DISK=""
mount_small_disk() {
  local dir="$BUILD/small-disk"
  mkdir -p "$dir"
  local root=()
  if [ "$(id -u)" != 0 ]; then
    sudo -n true 2>/dev/null || { log "no small disk (needs root): the disk-full test is skipped"; return 0; }
    root=(sudo -n)
  fi
  if mountpoint -q "$dir"; then "${root[@]}" umount "$dir" 2>/dev/null || true; fi
  if "${root[@]}" mount -t tmpfs -o size=16m,mode=0777 pallendo-small-disk "$dir" 2>/dev/null; then
    SMALL_DISK="$dir"
    export PALLENDO_SMALL_DISK="$dir"
  else
    log "no small disk could be mounted: the disk-full test is skipped"
  fi
}

unmount_small_disk() {
  [ -n "$SMALL_DISK" ] || return 0
  if [ "$(id -u)" = 0 ]; then umount "$SMALL_DISK"; else sudo -n umount "$SMALL_DISK"; fi 2>/dev/null || true
  SMALL_DISK=""
}

# Creates the prefix once (with the display already running: wineboot starts Wine's desktop
# process, which keeps the display it found), then keeps it.
# Bump when the prefix settings below change, so existing prefixes take them up.
PREFIX_SETTINGS_VERSION=2

ensure_prefix() {
  local dpi="${1:-96}"
  if [ ! -f "$WINEPREFIX/.pallendo-ready" ]; then
    log "creating the Wine prefix in $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  if [ "$(cat "$WINEPREFIX/.pallendo-ready" 2>/dev/null)" != "$PREFIX_SETTINGS_VERSION" ]; then
    local reg="$BUILD/prefix-settings.reg"
    {
      printf 'REGEDIT4\r\n\r\n'
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
      # No window manager runs on the virtual display: Wine draws the frames itself, as Windows does.
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
      printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
      for f in "Meiryo UI" "Meiryo" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Yu Gothic UI" "Segoe UI" "Tahoma" "MS Gothic" "MS PGothic"; do
        printf '"%s"="IPAGothic"\r\n' "$f"
      done
      printf '\r\n'
    } > "$reg"
    wine regedit "$reg" >/dev/null 2>&1
    wineserver -w
    echo "$PREFIX_SETTINGS_VERSION" > "$WINEPREFIX/.pallendo-ready"
  fi
  set_dpi "$dpi"
}

set_dpi() {
  local hex; hex=$(printf '%08x' "$1")
  local reg="$BUILD/prefix-dpi.reg"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%s\r\n\r\n' "$hex" > "$reg"
  wine regedit "$reg" >/dev/null 2>&1
  wineserver -w
}
