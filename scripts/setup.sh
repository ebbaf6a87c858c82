#!/usr/bin/env bash
# Installs what building, running and testing Tidewell needs, then builds it.
# Idempotent and quiet when everything is already present.
#   scripts/setup.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
shift || true

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev
  python3 python3-pyftpdlib vsftpd
  curl lftp
  clang clang-tidy libclang-rt-14-dev
  xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-urw-base35
)

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

# vsftpd logs in real system users only; the tests use this throwaway one.
"$here/scripts/ftp-test-user.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$build" -j2 -- --no-print-directory -s 2>&1 | grep -v -E '^\[|^Scanning|^Consolidate|^Built target|^Automatic MOC' || true
test "${PIPESTATUS[0]}" -eq 0
