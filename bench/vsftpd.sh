# Sourced by the benchmarks: start_vsftpd WORK ROOT [EXTRA] starts vsftpd on 127.0.0.1
# serving ROOT to the local test user, with its config and log in WORK (and the
# config lines EXTRA), and sets `port` and `vsftpd_pid`. The caller's exit trap stops it.
start_vsftpd() {
  local work=$1 root=$2 extra=${3:-}
  mkdir -p /var/run/vsftpd/empty
  port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat > "$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
pam_service_name=vsftpd
chroot_local_user=NO
local_root=$root
pasv_enable=YES
pasv_address=127.0.0.1
port_enable=YES
connect_from_port_20=NO
utf8_filesystem=YES
seccomp_sandbox=NO
delay_failed_login=0
secure_chroot_dir=/var/run/vsftpd/empty
$extra
CONF
  chmod 600 "$work/vsftpd.conf"
  # vsftpd reports start-up errors on descriptor 0.
  /usr/sbin/vsftpd "$work/vsftpd.conf" 0<>"$work/vsftpd.log" 1>&0 2>&0 &
  vsftpd_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    sleep 0.05
  done
  echo "vsftpd did not start: $(cat "$work/vsftpd.log")" >&2
  return 1
}
