# Sourced by download-bench.sh, upload-bench.sh and latency-bench.sh: timing, medians and the
# arithmetic of their tables. measure and lftp_do read the caller's `work`,
# `user`, `pass` and `site`; mbps reads `size`.

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
