#!/usr/bin/env bash
# Downloads through the product beside curl and lftp, vsftpd on loopback, in
# the same run: a 1 GiB file (the download run alone, and the full path through
# the offscreen window), a tree of 20 directories x 100 files x 16 KiB (against
# lftp's mirror) and 2,000 files of one directory (against lftp's mget).
#   bench/download-bench.sh [BUILD_DIR] [RUNS]
# Needs root (vsftpd logs in the local test user of scripts/ftp-test-user.sh;
# every case runs in a network namespace of its own, with its own vsftpd).
# ONLY="case case..." runs a subset and prints raw medians (for tuning).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/vsftpd.sh
. "$here/bench/vsftpd.sh"
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
dirs=20
per_dir=100
flat=2000

# One case (internal): in the network namespace unshare gave it, brings up
# the loopback, starts vsftpd on it, runs the case with its output in
# WORK/out and prints "elapsed user+system". A namespace of its own per case
# means no case starts among the sockets earlier ones left in TIME_WAIT (a
# case of 2,000 files leaves over 2,000 for a minute), which make every later
# bind to a free port slower: the server's for each active data connection,
# and ours for each listening one. Over loopback both are on this machine.
if [ "${1:-}" = "--case" ]; then
  name=$2 work=$3 alone=$4 window=$5
  root=$work/root down=$work/down
  ip link set lo up
  vsftpd_pid=
  trap '[ -n "$vsftpd_pid" ] && kill "$vsftpd_pid" 2>/dev/null && wait "$vsftpd_pid" 2>/dev/null || true' EXIT
  mkdir -p "$work/net"
  start_vsftpd "$work/net" "$root"
  site=127.0.0.1:$port
  url=ftp://$user:$pass@$site
  case $name in
    big-alone) set -- "$alone" "$site" "$user" "$pass" "" "$down" big.bin ;;
    big-window) set -- "$window" "$site" "$user" "$pass" "$down" big.bin ;;
    big-curl) set -- curl -sS -o "$down/big.bin" "$url/big.bin" ;;
    big-lftp) set -- lftp_do "get big.bin -o $down/big.bin" ;;
    tree-alone) set -- "$alone" "$site" "$user" "$pass" "" "$down" tree ;;
    tree-lftp) set -- lftp_do "mirror tree $down/tree" ;;
    flat-alone) set -- "$alone" "$site" "$user" "$pass" flat "$down" --all-files ;;
    flat-lftp) set -- lftp_do "mget -O $down flat/*" ;;
    *) echo "download-bench: no case $name" >&2; exit 2 ;;
  esac
  measure "$work/out" "$@"
  exit 0
fi

build=${1:-$here/build}
runs=${2:-5}
[ "$(id -u)" -eq 0 ] || { echo "download-bench: run as root (vsftpd logs in a local user)" >&2; exit 1; }
"$here/scripts/ftp-test-user.sh"
# Server and clients run ahead of other work on the machine (they inherit this
# priority), so that a build next door decides the figures less.
renice -n -10 -p $$ >/dev/null
cmake --build "$build" -j2 --target download_run download_window >/dev/null
alone=$build/bench/download_run
window=$build/bench/download_window

make_work download-bench
root=$work/root
down=$work/down
make_served "$root"

# Fails unless the download folder holds exactly what was served.
check() { # case
  case $1 in
    big-*) [ "$(find "$down" -type f | wc -l)" -eq 1 ] && cmp -s "$root/big.bin" "$down/big.bin" ;;
    tree-*) diff -rq "$root/tree" "$down/tree" >/dev/null && [ "$(find "$down" -type f | wc -l)" -eq $((dirs * per_dir)) ] ;;
    flat-*) diff -rq "$root/flat" "$down" >/dev/null ;;
  esac || { echo "download-bench: $1 did not download what was served" >&2; exit 1; }
}

declare -A samples_e samples_c samples_in secs cpu
order=(big-alone big-window big-curl big-lftp tree-alone tree-lftp flat-alone flat-lftp)

echo "running $runs rounds of every case..." >&2
[ -n "${ONLY:-}" ] && read -r -a order <<<"$ONLY"
for round in $(seq "$runs"); do
  # Rounds, each starting one case further on, so that no case always comes first.
  n=${#order[@]}
  for ((k = 0; k < n; k++)); do
    name=${order[$(((k + round) % n))]}
    rm -rf "$down" && mkdir "$down"
    sync
    read -r e c < <(unshare --net -- bash "$here/bench/download-bench.sh" --case "$name" "$work" "$alone" "$window")
    check "$name"
    samples_e[$name]+="$e "
    samples_c[$name]+="$c "
    # Ours print their own figures for the download alone: seconds, CPU
    # seconds, RSS growth (MB), and repaints per second or displays handed over.
    if [[ $name == *-alone || $name == *-window ]]; then
      samples_in[$name]+="$(cat "$work/out")"$'\n'
    fi
  done
  echo "round $round done" >&2
done
rm -rf "$down"
# The median of field F of the in-process figures of a case.
inner() { printf '%s' "${samples_in[$1]}" | awk -v f="$2" 'NF { print $f }' | median; }
for name in "${order[@]}"; do
  secs[$name]=$(printf '%s\n' ${samples_e[$name]} | median)
  cpu[$name]=$(printf '%s\n' ${samples_c[$name]} | median)
done

if [ -n "${ONLY:-}" ]; then
  for name in "${order[@]}"; do
    extra=
    [ -n "${samples_in[$name]:-}" ] && extra="; in-process $(inner "$name" 1) s $(inner "$name" 2) cpu-s $(inner "$name" 3) MB $(inner "$name" 4)"
    echo "$name ${secs[$name]} s ${cpu[$name]} cpu-s$extra"
  done
  exit 0
fi


# The 1 GiB file. The run alone is timed like curl and lftp, as a whole process
# (start, log in, list, download, the closing listing); the full path from
# pressing Download until the window is idle again (its start-up and log-in
# left out). Both also time the download alone, which is what the full path
# is held to.
win_s=$(inner big-window 1) win_cpu=$(inner big-window 2) win_rss=$(inner big-window 3) win_rep=$(inner big-window 4)
alone_in_s=$(inner big-alone 1) alone_rss=$(inner big-alone 3)
m_alone=$(mbps "${secs[big-alone]}") m_win=$(mbps "$win_s") m_alone_in=$(mbps "$alone_in_s")
m_curl=$(mbps "${secs[big-curl]}") m_lftp=$(mbps "${secs[big-lftp]}")
m_peer=$(better "$m_curl" "$m_lftp") c_peer=$(fewer "${cpu[big-curl]}" "${cpu[big-lftp]}")

printf '\nMedian of %d runs, vsftpd on 127.0.0.1, every download into %s (%s)\n' "$runs" "$base" \
  "$(df --output=fstype "$work" | tail -1)"
printf 'Ratios: ours to the better peer (speed: above 1 is faster; time and CPU: below 1 is less).\n\n'
printf '| case | ours | curl | lftp | ratio | ours CPU s | curl CPU s | lftp CPU s | CPU ratio | ours RSS growth MB | repaints/s |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|\n'
printf '| 1 GiB file, download run alone, MB/s | %s | %s | %s | %s | %s | %s | %s | %s | %s | - |\n' \
  "$m_alone" "$m_curl" "$m_lftp" "$(ratio "$m_alone" "$m_peer")" \
  "${cpu[big-alone]}" "${cpu[big-curl]}" "${cpu[big-lftp]}" "$(ratio "${cpu[big-alone]}" "$c_peer")" "$alone_rss"
printf '| 1 GiB file, full path (window), MB/s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' \
  "$m_win" "$m_curl" "$m_lftp" "$(ratio "$m_win" "$m_peer")" \
  "$win_cpu" "${cpu[big-curl]}" "${cpu[big-lftp]}" "$(ratio "$win_cpu" "$c_peer")" "$win_rss" "$win_rep"
printf '| %d-file tree, run alone vs lftp mirror, s | %s | - | %s | %s | %s | - | %s | %s | %s | - |\n' \
  $((dirs * per_dir)) "${secs[tree-alone]}" "${secs[tree-lftp]}" "$(ratio "${secs[tree-alone]}" "${secs[tree-lftp]}")" \
  "${cpu[tree-alone]}" "${cpu[tree-lftp]}" "$(ratio "${cpu[tree-alone]}" "${cpu[tree-lftp]}")" "$(inner tree-alone 3)"
printf '| %d files of one directory, run alone vs lftp mget, s | %s | - | %s | %s | %s | - | %s | %s | %s | - |\n' \
  "$flat" "${secs[flat-alone]}" "${secs[flat-lftp]}" "$(ratio "${secs[flat-alone]}" "${secs[flat-lftp]}")" \
  "${cpu[flat-alone]}" "${cpu[flat-lftp]}" "$(ratio "${cpu[flat-alone]}" "${cpu[flat-lftp]}")" "$(inner flat-alone 3)"

full_vs_alone=$(ratio "$m_win" "$m_alone_in")
printf '\nRun alone and curl/lftp: whole processes. Full path: from pressing Download until idle.\n'
printf 'Download alone, from starting it until it ended: run alone %s MB/s, full path %s MB/s.\n\n' "$m_alone_in" "$m_win"
printf 'Targets:\n'
printf -- '- full path / run alone, speed: %s (>= 0.95) %s\n' "$full_vs_alone" "$(verdict "$full_vs_alone >= 0.95")"
printf -- '- run alone / better peer, speed: %s (>= 1.0) %s\n' "$(ratio "$m_alone" "$m_peer")" \
  "$(verdict "$m_alone >= $m_peer")"
printf -- '- full path / better peer, speed: %s (>= 1.0) %s\n' "$(ratio "$m_win" "$m_peer")" \
  "$(verdict "$m_win >= $m_peer")"
printf -- '- CPU, run alone: %s s, full path: %s s, fewer of the peers: %s s (<=) %s\n' "${cpu[big-alone]}" \
  "$win_cpu" "$c_peer" "$(verdict "${cpu[big-alone]} <= $c_peer && $win_cpu <= $c_peer")"
printf -- '- RSS growth, run alone: %s MB, full path: %s MB (< 20) %s\n' "$alone_rss" "$win_rss" \
  "$(verdict "$alone_rss < 20 && $win_rss < 20")"
printf -- '- repaints per second, full path: %s (<= 30) %s\n' "$win_rep" "$(verdict "$win_rep <= 30")"
printf -- '- tree, ours / lftp mirror, time: %s (<= 1.0) %s\n' "$(ratio "${secs[tree-alone]}" "${secs[tree-lftp]}")" \
  "$(verdict "${secs[tree-alone]} <= ${secs[tree-lftp]}")"
printf -- '- %d files, ours / lftp mget, time: %s (<= 1.0) %s\n' "$flat" \
  "$(ratio "${secs[flat-alone]}" "${secs[flat-lftp]}")" "$(verdict "${secs[flat-alone]} <= ${secs[flat-lftp]}")"
