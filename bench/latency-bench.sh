#!/usr/bin/env bash
# The product beside lftp and curl with a server some milliseconds away: every
# connection, data connections included, goes through bench/ftp-delay-proxy.py,
# which delays each direction by half the round trip, in front of vsftpd on
# loopback. Ours downloads, uploads and deletes over 4 connections (the
# product's default). Cases, at each round trip:
#   - a tree of 20 directories x 100 files x 16 KiB downloaded (lftp mirror
#     --parallel=1, 4 and 10) and uploaded (lftp mirror -R, the same);
#   - the 2,000 files of one directory (lftp mget);
#   - the tree deleted (lftp rm -r);
#   - a 1 GiB file downloaded (curl, lftp);
#   - the 1 GiB file downloaded by ours with every connection cut when half of
#     it went through (resume-ours): the bytes it took in all, against the
#     file's, show what resuming cost (the retry's wait is in its seconds).
# Every result is compared with its source, and the proxy's figures show that
# the data went through it.
#   bench/latency-bench.sh [BUILD_DIR] [RTT_MS...]      (round trips: 10 50)
# Environment: RUNS (runs per case, medians; 1), DIRS and PER_DIR (the tree;
# 20 and 100), FLAT (files of one directory; 2000), ONLY="case..." (a subset:
# down-ours down-lftp1 down-lftp4 down-lftp10 up-ours up-lftp1 up-lftp4
# up-lftp10 flat-ours flat-lftp del-ours del-lftp big-ours big-curl big-lftp resume-ours).
# Needs root (vsftpd logs in the local test user of scripts/ftp-test-user.sh;
# every case runs in a network namespace of its own, with its own vsftpd and proxy).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/vsftpd.sh
. "$here/bench/vsftpd.sh"
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
dirs=${DIRS:-20}
per_dir=${PER_DIR:-100}
flat=${FLAT:-2000}
proxy=$here/bench/ftp-delay-proxy.py

# lftp with as many connections as the mirror asks for.
lftp_par() {
  lftp -u "$user,$pass" -e "set cmd:fail-exit yes; $1; quit" "ftp://$site"
}

# One case (internal), in the network namespace unshare gave it (no case
# starts among the sockets earlier ones left in TIME_WAIT): vsftpd serving
# WORK/root, the proxy in front of it at RTT ms, the case timed through the
# proxy. Prints "elapsed user+system data-connections data-bytes", the last
# two as the proxy relayed them; "probe" prints the proxy's own round trip.
if [ "${1:-}" = "--case" ]; then
  name=$2 work=$3 rtt=$4 build=$5
  root=$work/root down=$work/down
  ip link set lo up
  vsftpd_pid= proxy_pid=
  trap '[ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null; [ -n "$vsftpd_pid" ] && kill "$vsftpd_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
  net=$work/net
  rm -rf "$net" && mkdir -p "$net"
  start_vsftpd "$net" "$root"
  cut=()
  [ "$name" = resume-ours ] && cut=(--cut-at "$((size / 2))")
  /usr/bin/python3 "$proxy" --target "$port" --rtt-ms "$rtt" --port-file "$net/proxy-port" \
    --stats "$net/proxy-stats" "${cut[@]}" >/dev/null &
  proxy_pid=$!
  for _ in $(seq 100); do
    [ -s "$net/proxy-port" ] && break
    sleep 0.05
  done
  [ -s "$net/proxy-port" ] || { echo "latency-bench: the proxy did not start" >&2; exit 1; }
  site=127.0.0.1:$(cat "$net/proxy-port")
  case $name in
    probe) /usr/bin/python3 "$proxy" --probe "$port" "${site#*:}"; exit 0 ;;
    down-ours) set -- env CONNECTIONS=4 "$build/bench/download_run" "$site" "$user" "$pass" "" "$down" tree ;;
    down-lftp*) set -- lftp_par "mirror --parallel=${name#down-lftp} tree $down/tree" ;;
    up-ours) set -- env CONNECTIONS=4 "$build/bench/upload_run" "$site" "$user" "$pass" up "$root/tree" ;;
    up-lftp*) set -- lftp_par "mirror -R --parallel=${name#up-lftp} $root/tree up/tree" ;;
    flat-ours) set -- env CONNECTIONS=4 "$build/bench/download_run" "$site" "$user" "$pass" flat "$down" --all-files ;;
    flat-lftp) set -- lftp_do "mget -O $down flat/*" ;;
    del-ours) set -- env CONNECTIONS=4 "$build/bench/delete_run" "$site" "$user" "$pass" del tree ;;
    del-lftp) set -- lftp_do "rm -r del/tree" ;;
    big-ours | resume-ours) set -- "$build/bench/download_run" "$site" "$user" "$pass" "" "$down" big.bin ;;
    big-curl) set -- curl -sS -o "$down/big.bin" "ftp://$user:$pass@$site/big.bin" ;;
    big-lftp) set -- lftp_do "get big.bin -o $down/big.bin" ;;
    *) echo "latency-bench: no case $name" >&2; exit 2 ;;
  esac
  timing=$(measure "$work/out" "$@")
  kill "$proxy_pid"
  wait "$proxy_pid" 2>/dev/null || true
  proxy_pid=
  read -r _ conns _ bytes < <(awk '{ print $3, $4, $5, $6 }' "$net/proxy-stats")
  echo "$timing $conns $bytes"
  exit 0
fi

build=${1:-$here/build}
shift || true
rtts=("$@")
((${#rtts[@]})) || rtts=(10 50)
runs=${RUNS:-1}
[ "$(id -u)" -eq 0 ] || { echo "latency-bench: run as root (vsftpd logs in a local user)" >&2; exit 1; }
"$here/scripts/ftp-test-user.sh"
renice -n -10 -p $$ >/dev/null
cmake --build "$build" -j2 --target download_run upload_run delete_run >/dev/null

make_work latency-bench
root=$work/root down=$work/down
tree_files=$((dirs * per_dir))
make_served "$root"

# Before a case: an empty download folder, an empty upload target, a copy of
# the tree to delete.
prepare() { # case
  rm -rf "$down" "$root/up" "$root/del"
  mkdir "$down"
  case $1 in
    up-*) mkdir "$root/up" && chown "$user:$user" "$root/up" ;;
    del-*) mkdir "$root/del" && cp -r "$root/tree" "$root/del/tree" && chown -R "$user:$user" "$root/del" ;;
  esac
  sync
}
# Fails unless the case left exactly what it should.
check() { # case
  case $1 in
    down-*) diff -rq "$root/tree" "$down/tree" >/dev/null && [ "$(find "$down" -type f | wc -l)" -eq "$tree_files" ] ;;
    up-*) diff -rq "$root/tree" "$root/up/tree" >/dev/null && [ "$(find "$root/up" -type f | wc -l)" -eq "$tree_files" ] ;;
    flat-*) diff -rq "$root/flat" "$down" >/dev/null ;;
    del-*) [ -d "$root/del" ] && [ -z "$(ls -A "$root/del")" ] ;;
    big-* | resume-*) [ "$(find "$down" -type f | wc -l)" -eq 1 ] && cmp -s "$root/big.bin" "$down/big.bin" ;;
  esac || { echo "latency-bench: $1 at $2 ms did not leave what it should" >&2; exit 1; }
}
# The payload each case must have moved through the proxy's data connections.
payload() { # case
  case $1 in
    down-* | up-*) echo $((tree_files * block)) ;;
    flat-*) echo $((flat * block)) ;;
    del-*) echo 1 ;; # the listings
    big-* | resume-*) echo "$size" ;;
  esac
}

order=(down-ours down-lftp1 down-lftp4 down-lftp10 up-ours up-lftp1 up-lftp4 up-lftp10
  flat-ours flat-lftp del-ours del-lftp big-ours big-curl big-lftp resume-ours)
[ -n "${ONLY:-}" ] && read -r -a order <<<"$ONLY"
declare -A samples secs probes moved
for rtt in "${rtts[@]}"; do
  probes[$rtt]=$(unshare --net -- bash "$here/bench/latency-bench.sh" --case probe "$work" "$rtt" "$build")
  echo "round trip $rtt ms: ${probes[$rtt]//$'\n'/; }" >&2
  for round in $(seq "$runs"); do
    n=${#order[@]}
    for ((k = 0; k < n; k++)); do
      # Each round starts one case further on, so that no case always comes first.
      name=${order[$(((k + round - 1) % n))]}
      prepare "$name"
      e=
      read -r e _ conns bytes < <(unshare --net -- bash "$here/bench/latency-bench.sh" --case "$name" "$work" "$rtt" "$build") || true
      [ -n "$e" ] || { echo "latency-bench: $name at $rtt ms failed" >&2; exit 1; }
      check "$name" "$rtt"
      if ((conns < 1 || bytes < $(payload "$name"))); then
        echo "latency-bench: $name at $rtt ms moved $bytes bytes over $conns data connections through the proxy" >&2
        exit 1
      fi
      samples[$rtt,$name]+="$e "
      [ "$name" = resume-ours ] && moved[$rtt]=$bytes
      echo "  $name: $e s ($conns data connections through the proxy)" >&2
    done
  done
done
rm -rf "$down" "$root/up" "$root/del"
for key in "${!samples[@]}"; do
  secs[$key]=$(printf '%s\n' ${samples[$key]} | median)
done

# Round trips per file: seconds / (files x round trip).
per_file() { # seconds files rtt
  calc "printf \"%.1f\", $1 / ($2 * $3 / 1000)"
}
have() { [ -n "${secs[$1]:-}" ]; }
row() { # label rtt ours-case peer-label peer-case files (0: a file's MB/s instead)
  local label=$1 rtt=$2 ours=$3 peer_label=$4 peer=$5 files=$6
  have "$rtt,$ours" || have "$rtt,$peer" || return 0
  local o=${secs[$rtt,$ours]:--} p=${secs[$rtt,$peer]:--} r=- fo=- fp=-
  [ "$o" != - ] && [ "$p" != - ] && r=$(ratio "$o" "$p")
  if ((files)) && [ "$rtt" != 0 ]; then
    [ "$o" != - ] && fo=$(per_file "$o" "$files" "$rtt")
    [ "$p" != - ] && fp=$(per_file "$p" "$files" "$rtt")
  elif ((!files)); then
    [ "$o" != - ] && fo="$(mbps "$o") MB/s"
    [ "$p" != - ] && fp="$(mbps "$p") MB/s"
  fi
  printf '| %s | %s | %s | %s | %s | %s | %s | %s |\n' "$label" "$rtt" "$o" "$peer_label" "$p" "$r" "$fo" "$fp"
}

shape="$dirs dirs x $per_dir files"
[ "$dirs" -eq 20 ] && [ "$per_dir" -eq 100 ] || shape+=" (smaller than the usual 20 x 100: DIRS/PER_DIR)"
printf '\n%s of %d run(s) per case; vsftpd on loopback behind the delay proxy; every case in its own network namespace.\n' \
  "$([ "$runs" -gt 1 ] && echo Median || echo Seconds)" "$runs"
printf 'Tree: %s x 16 KiB = %d files. One directory: %d files x 16 KiB. Big file: 1 GiB.\n' "$shape" "$tree_files" "$flat"
for rtt in "${rtts[@]}"; do
  printf 'Proxy at %s ms: %s\n' "$rtt" "${probes[$rtt]//$'\n'/; }"
done
printf 'Ratio: ours / peer in seconds (below 1: ours faster). Per file: seconds / (files x round trip);\n'
printf 'for the big file, MB/s, which the proxy (one Python process) bounds at a few hundred MB/s to about 1 GB/s here.\n\n'
printf '| case | RTT ms | ours s | peer | peer s | ours/peer | ours per file (RTTs) | peer per file (RTTs) |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for rtt in "${rtts[@]}"; do
  for p in 1 4 10; do
    row "tree download" "$rtt" down-ours "lftp mirror --parallel=$p" "down-lftp$p" "$tree_files"
  done
  for p in 1 4 10; do
    row "tree upload" "$rtt" up-ours "lftp mirror -R --parallel=$p" "up-lftp$p" "$tree_files"
  done
  row "$flat files of one directory" "$rtt" flat-ours "lftp mget" flat-lftp "$flat"
  row "tree delete" "$rtt" del-ours "lftp rm -r" del-lftp "$tree_files"
  row "1 GiB download" "$rtt" big-ours curl big-curl 0
  row "1 GiB download" "$rtt" big-ours lftp big-lftp 0
done
for rtt in "${rtts[@]}"; do
  [ -n "${moved[$rtt]:-}" ] || continue
  printf '\nResumed at %s ms: the 1 GiB file, cut at half, took %s s and %s bytes through the proxy: %s x the file.\n' \
    "$rtt" "${secs[$rtt,resume-ours]}" "${moved[$rtt]}" "$(calc "printf \"%.3f\", ${moved[$rtt]} / $size")"
done
