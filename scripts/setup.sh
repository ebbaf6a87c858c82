#!/usr/bin/env bash
# Installs what building, running and testing Tidewell needs, then builds it.
# Idempotent and quiet when everything is already present.
#   scripts/setup.sh [--target TARGET] [BUILD_DIR] [extra cmake arguments...]
# With --target (scripts/run.sh: tidewell) only that target is built and only
# what configuring, building and running it needs is installed, so a first run
# does not wait for the tests, the benchmarks, clang or the test servers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=
if [ "${1:-}" = --target ]; then
  target=$2
  shift 2
fi
build=${1:-$here/build}
shift || true

# Configuring needs GoogleTest (the tests are part of the build tree) and
# rsvg-convert (the icons); running needs the dialog font and the demo server
# (paramiko for its SFTP, which the tests' scripted SFTP server shares).
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libssl-dev libssh-dev
  libgtest-dev libgmock-dev librsvg2-bin
  python3 python3-pyftpdlib python3-openssl python3-paramiko openssl fonts-dejavu-core fonts-urw-base35
)
if [ -z "$target" ]; then
  # Tests, CI, benchmarks, screenshots and the Debian package.
  packages+=(
    vsftpd openssh-server curl lftp
    clang clang-tidy libclang-rt-14-dev
    xvfb xauth x11-utils imagemagick fluxbox
    dpkg-dev desktop-file-utils
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# vsftpd and sshd log in real system users only; the tests use this throwaway one.
[ -n "$target" ] || "$here/scripts/ftp-test-user.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$build" -j2 ${target:+--target "$target"} -- --no-print-directory -s 2>&1 | grep -v -E '^\[|^Scanning|^Consolidate|^Built target|^Automatic MOC' || true
test "${PIPESTATUS[0]}" -eq 0
