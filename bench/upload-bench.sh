#!/usr/bin/env bash
# Uploads through the upload run beside curl and lftp, vsftpd on loopback, in
# the same run: a 1 GiB file, and a tree of 20 directories x 100 files x 16 KiB
# into an empty directory and again over itself (Yes To All; lftp's
# mirror -R --transfer-all).
#   bench/upload-bench.sh [BUILD_DIR] [RUNS]
# Needs root (vsftpd logs in the local test user of scripts/ftp-test-user.sh;
# every case runs in a network namespace of its own, with its own vsftpd).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/vsftpd.sh
. "$here/bench/vsftpd.sh"
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
dirs=20
per_dir=100

# One case (internal), in the network namespace unshare gave it: vsftpd on its
# loopback serving WORK/root, the upload target WORK/root/up prepared, the case
# timed; prints "elapsed user+system".
if [ "${1:-}" = "--case" ]; then
  name=$2 work=$3 alone=$4
  src=$work/src root=$work/root
  ip link set lo up
  vsftpd_pid=
  trap '[ -n "$vsftpd_pid" ] && kill "$vsftpd_pid" 2>/dev/null && wait "$vsftpd_pid" 2>/dev/null || true' EXIT
  mkdir -p "$work/net"
  start_vsftpd "$work/net" "$root"
  site=127.0.0.1:$port
  case $name in
    big-alone) set -- "$alone" "$site" "$user" "$pass" up "$src/big.bin" ;;
    big-curl) set -- curl -sS -T "$src/big.bin" "ftp://$user:$pass@$site/up/big.bin" ;;
    big-lftp) set -- lftp_do "put $src/big.bin -o up/big.bin" ;;
    new-alone) set -- "$alone" "$site" "$user" "$pass" up "$src/tree" ;;
    new-lftp) set -- lftp_do "mirror -R $src/tree up/tree" ;;
    over-alone) set -- "$alone" "$site" "$user" "$pass" up --yes-to-all "$src/tree" ;;
    # --transfer-all: without it lftp skips every file that looks unchanged and
    # writes nothing, which is no comparison with writing every file again.
    over-lftp) set -- lftp_do "mirror -R --transfer-all $src/tree up/tree" ;;
    *) echo "upload-bench: no case $name" >&2; exit 2 ;;
  esac
  measure "$work/out" "$@"
  exit 0
fi

build=${1:-$here/build}
runs=${2:-5}
[ "$(id -u)" -eq 0 ] || { echo "upload-bench: run as root (vsftpd logs in a local user)" >&2; exit 1; }
"$here/scripts/ftp-test-user.sh"
renice -n -10 -p $$ >/dev/null
cmake --build "$build" -j2 --target upload_run >/dev/null
alone=$build/bench/upload_run

# Sources and uploads on one file system.
make_work upload-bench
src=$work/src root=$work/root
mkdir -p "$src/tree" "$root"
echo "making the 1 GiB file and the tree of $((dirs * per_dir)) files..." >&2
head -c "$size" /dev/urandom > "$src/big.bin"
for d in $(seq -f "dir-%02g" 1 "$dirs"); do
  mkdir "$src/tree/$d"
  head -c $((per_dir * block)) /dev/urandom | (cd "$src/tree/$d" && split -b "$block" -a 3 -d - file-)
done
chmod -R a+rX "$src"

# The target before a case: empty, or holding the tree already (over-*).
prepare() { # case
  rm -rf "$root/up" && mkdir "$root/up"
  [[ $1 == over-* ]] && cp -r "$src/tree" "$root/up/tree"
  chown -R "$user:$user" "$root"
  sync
}
check() { # case
  case $1 in
    big-*) cmp -s "$src/big.bin" "$root/up/big.bin" ;;
    *) diff -rq "$src/tree" "$root/up/tree" >/dev/null ;;
  esac || { echo "upload-bench: $1 did not upload what was there" >&2; exit 1; }
}

declare -A samples_e samples_c secs cpu
order=(big-alone big-curl big-lftp new-alone new-lftp over-alone over-lftp)
echo "running $runs rounds of every case..." >&2
for round in $(seq "$runs"); do
  n=${#order[@]}
  for ((k = 0; k < n; k++)); do
    name=${order[$(((k + round) % n))]}
    prepare "$name"
    read -r e c < <(unshare --net -- bash "$here/bench/upload-bench.sh" --case "$name" "$work" "$alone")
    check "$name"
    samples_e[$name]+="$e "
    samples_c[$name]+="$c "
  done
  echo "round $round done" >&2
done
for name in "${order[@]}"; do
  secs[$name]=$(printf '%s\n' ${samples_e[$name]} | median)
  cpu[$name]=$(printf '%s\n' ${samples_c[$name]} | median)
done


m_alone=$(mbps "${secs[big-alone]}") m_curl=$(mbps "${secs[big-curl]}") m_lftp=$(mbps "${secs[big-lftp]}")
m_peer=$(better "$m_curl" "$m_lftp") c_peer=$(fewer "${cpu[big-curl]}" "${cpu[big-lftp]}")
printf '\nMedian of %d runs, vsftpd on 127.0.0.1, every upload from and into %s (%s); whole processes\n\n' \
  "$runs" "$base" "$(df --output=fstype "$work" | tail -1)"
printf '| case | ours | curl | lftp | ratio | ours CPU s | curl CPU s | lftp CPU s | CPU ratio |\n'
printf '|---|---|---|---|---|---|---|---|---|\n'
printf '| 1 GiB file, MB/s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$m_alone" "$m_curl" "$m_lftp" \
  "$(ratio "$m_alone" "$m_peer")" "${cpu[big-alone]}" "${cpu[big-curl]}" "${cpu[big-lftp]}" \
  "$(ratio "${cpu[big-alone]}" "$c_peer")"
for kind in new over; do
  label="$((dirs * per_dir))-file tree into an empty directory, s"
  [ "$kind" = over ] && label="$((dirs * per_dir))-file tree over itself (Yes To All / mirror -R --transfer-all), s"
  printf '| %s | %s | - | %s | %s | %s | - | %s | %s |\n' "$label" "${secs[$kind-alone]}" "${secs[$kind-lftp]}" \
    "$(ratio "${secs[$kind-alone]}" "${secs[$kind-lftp]}")" "${cpu[$kind-alone]}" "${cpu[$kind-lftp]}" \
    "$(ratio "${cpu[$kind-alone]}" "${cpu[$kind-lftp]}")"
done
printf '\nTargets:\n'
printf -- '- 1 GiB, ours / better peer, speed: %s (>= 1.0) %s\n' "$(ratio "$m_alone" "$m_peer")" \
  "$(verdict "$m_alone >= $m_peer")"
printf -- '- 1 GiB, CPU: %s s, fewer of the peers: %s s (<=) %s\n' "${cpu[big-alone]}" "$c_peer" \
  "$(verdict "${cpu[big-alone]} <= $c_peer")"
for kind in new over; do
  printf -- '- tree %s, ours / lftp mirror -R, time: %s (<= 1.0) %s\n' "$kind" \
    "$(ratio "${secs[$kind-alone]}" "${secs[$kind-lftp]}")" "$(verdict "${secs[$kind-alone]} <= ${secs[$kind-lftp]}")"
done
