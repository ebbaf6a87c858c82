#!/usr/bin/env bash
# Creates the local user that vsftpd and sshd test servers log in (vsftpd
# accepts only real accounts with a shell listed in /etc/shells). Prints nothing when present.
set -euo pipefail
user=tidewell-ftp
pass=tidewell-ftp-pass
[ "$(id -u)" -eq 0 ] || exit 0
if ! id "$user" >/dev/null 2>&1; then
  useradd -m -s /bin/bash "$user"
  echo "$user:$pass" | chpasswd
fi
mkdir -p /var/run/vsftpd/empty
