# Shared by scripts/run, scripts/test and scripts/screenshot.
# shellcheck shell=bash

RAVEZOV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

RAVEZOV_PACKAGES=(
  qt6-base-dev libxkbcommon-dev libsqlite3-dev unixodbc-dev unixodbc odbc-postgresql
  libsqliteodbc postgresql libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
  imagemagick ninja-build cmake g++ pkg-config clang libclang-rt-14-dev
)

die() {
  echo "error: $*" >&2
  exit 1
}

# Installs with apt-get exactly the packages that are missing.
install_missing_packages() {
  local missing=()
  local p
  for p in "${RAVEZOV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  if [[ $(id -u) -ne 0 ]]; then
    die "missing packages (${missing[*]}); run as root or install them with apt-get"
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || die "apt-get update failed"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" || die "apt-get install failed"
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$RAVEZOV_ROOT" -B "$dir" -G Ninja "$@" || die "configuring the build failed"
  cmake --build "$dir" || die "the build failed"
}

# Qt wants a private runtime directory.
prepare_runtime_dir() {
  if [[ -z "${XDG_RUNTIME_DIR:-}" || ! -d "${XDG_RUNTIME_DIR}" ]]; then
    export XDG_RUNTIME_DIR="/tmp/ravezov-runtime-$(id -u)"
  fi
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 0700 "$XDG_RUNTIME_DIR"
}

# Starts Xvfb on a free display when there is no display; sets DISPLAY and
# RAVEZOV_XVFB_PID. The caller stops it with stop_xvfb.
start_xvfb() {
  local n
  for n in $(seq 90 120); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
      Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
      RAVEZOV_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [[ -e /tmp/.X11-unix/X$n ]] && return 0
        sleep 0.1
      done
      die "Xvfb did not start"
    fi
  done
  die "no free X display"
}

stop_xvfb() {
  if [[ -n "${RAVEZOV_XVFB_PID:-}" ]]; then
    kill "$RAVEZOV_XVFB_PID" 2>/dev/null || true
    wait "$RAVEZOV_XVFB_PID" 2>/dev/null || true
    RAVEZOV_XVFB_PID=
  fi
}
