# shellcheck shell=bash
# Sourced by the SFTP benchmarks: start_sshd WORK ROOT starts OpenSSH's sshd on
# 127.0.0.1 (internal-sftp, the local test user by password or by the key
# WORK/client_ed25519, which OpenSSH's sftp needs in batch mode), with its
# host key, config and log in WORK, and sets `port` and `sshd_pid`. ROOT is
# only made reachable for that user. The caller's exit trap stops sshd.
start_sshd() {
  local work=$1 root=$2
  mkdir -p /run/sshd "$work"
  chmod 711 "$work"
  [ -f "$work/host_ed25519" ] || ssh-keygen -q -t ed25519 -N '' -f "$work/host_ed25519"
  [ -f "$work/client_ed25519" ] || ssh-keygen -q -t ed25519 -N '' -f "$work/client_ed25519"
  cp "$work/client_ed25519.pub" "$work/authorized_keys"
  chmod 644 "$work/authorized_keys"
  port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat > "$work/sshd_config" <<CONF
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_ed25519
PidFile $work/sshd.pid
PasswordAuthentication yes
KbdInteractiveAuthentication no
PubkeyAuthentication yes
AuthorizedKeysFile $work/authorized_keys
UsePAM yes
PermitRootLogin no
StrictModes no
UseDNS no
Subsystem sftp internal-sftp
CONF
  /usr/sbin/sshd -D -e -f "$work/sshd_config" 2>"$work/sshd.log" &
  sshd_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    sleep 0.05
  done
  echo "sshd did not start: $(cat "$work/sshd.log")" >&2
  return 1
}
