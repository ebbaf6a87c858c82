# Sourced by download-bench.sh, upload-bench.sh and latency-bench.sh: their
# scratch folder and served files, timing, medians and the arithmetic of their
# tables. measure and lftp_do read the caller's `work`, `user`, `pass` and
# `site`; mbps and make_served read `size`, `block`, `dirs`, `per_dir`, `flat`.

# The local test user of scripts/ftp-test-user.sh, the big file's size and the
# size of each small file.
user=tidewell-ftp
pass=tidewell-ftp-pass
size=$((1024 * 1024 * 1024))
block=16384

# A scratch folder for the served files and every download, in memory when
# /dev/shm has room (about 2.2 GiB at most), so no disk decides the figures and
# every client writes where the others do. Removed when the script exits.
make_work() { # NAME; sets work
  local base=${TMPDIR:-/tmp}
  if [ "$(df --output=avail -k /dev/shm 2>/dev/null | tail -1)" -gt $((3 * 1024 * 1024)) ] 2>/dev/null; then
    base=/dev/shm
  fi
  work=$(mktemp -d "$base/tidewell-$1-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  chmod 711 "$work"
}

# ROOT/big.bin (size bytes), ROOT/tree (dirs x per_dir files of block bytes)
# and ROOT/flat (flat files of block bytes), random, owned by the test user.
make_served() { # ROOT
  local root=$1 d
  mkdir -p "$root/tree" "$root/flat"
  echo "making the 1 GiB file, the tree of $((dirs * per_dir)) files and $flat files in one directory..." >&2
  head -c "$size" /dev/urandom > "$root/big.bin"
  for d in $(seq -f "dir-%02g" 1 "$dirs"); do
    mkdir "$root/tree/$d"
    head -c $((per_dir * block)) /dev/urandom | (cd "$root/tree/$d" && split -b "$block" -a 3 -d - file-)
  done
  head -c $((flat * block)) /dev/urandom | (cd "$root/flat" && split -b "$block" -a 4 -d - file-)
  chown -R "$user:$user" "$root"
}

# Runs a command with its output in OUT; prints "elapsed user+system" of it.
measure() { # OUT command...
  local out=$1; shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" >"$out" 2>"$work/err" ; } 2>"$work/time" || { cat "$work/err" >&2; return 1; }
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time"
}
# lftp on one connection, failing on the first error.
lftp_do() {
  lftp -u "$user,$pass" -e "set cmd:fail-exit yes; set net:connection-limit 1; $1; quit" "ftp://$site"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
calc() { awk "BEGIN { $1 }"; }
mbps() { calc "printf \"%.0f\", $size / $1 / 1e6"; }
ratio() { calc "printf \"%.2f\", ($2 > 0 ? $1 / $2 : 0)"; }
better() { calc "print ($1 > $2 ? $1 : $2)"; }
fewer() { calc "print ($1 < $2 ? $1 : $2)"; }
verdict() { calc "print ($1 ? \"met\" : \"NOT met\")"; }
