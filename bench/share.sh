# A network share for the benchmark, sourced by bench/run.sh: a private SSH server on
# 127.0.0.1 with its own keys and configuration, and sshfs mounts of one of its folders
# reached through rinvo_delay_relay, which holds every chunk for a delay each way.
#   share_start DIR RELAY DELAY_US   starts the server; its files live in DIR
#   share_mount SERVED MOUNTPOINT     mounts the served folder afresh (no cache from before)
#   share_stop                        unmounts and stops the server

share_dir=""
share_mountpoint=""

# Tells whether this machine can serve and mount a share.
share_possible() {
  [ -x /usr/sbin/sshd ] && command -v sshfs >/dev/null && [ -e /dev/fuse ] && [ "$(id -u)" -eq 0 ]
}

share_start() {
  share_dir=$1
  local relay=$2 delay=$3 port
  rm -rf "$share_dir/keys" && mkdir -p "$share_dir/keys" /run/sshd
  ssh-keygen -q -t ed25519 -N "" -f "$share_dir/keys/host" >/dev/null
  ssh-keygen -q -t ed25519 -N "" -f "$share_dir/keys/client" >/dev/null
  cp "$share_dir/keys/client.pub" "$share_dir/keys/authorized"
  port=$((20000 + RANDOM % 20000))
  cat >"$share_dir/keys/sshd_config" <<CONFIG
Port $port
ListenAddress 127.0.0.1
HostKey $share_dir/keys/host
PidFile $share_dir/keys/sshd.pid
AuthorizedKeysFile $share_dir/keys/authorized
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
Subsystem sftp internal-sftp
LogLevel ERROR
CONFIG
  /usr/sbin/sshd -f "$share_dir/keys/sshd_config"
  # sshfs takes the ssh command as words, so the options live in a script of their own.
  cat >"$share_dir/keys/ssh" <<SSH
#!/bin/sh
exec ssh -F /dev/null -i "$share_dir/keys/client" -o StrictHostKeyChecking=no \\
  -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR \\
  -o ProxyCommand="$relay $port $delay" "\$@"
SSH
  chmod +x "$share_dir/keys/ssh"
}

share_mount() {
  local served=$1
  share_unmount
  share_mountpoint=$2
  mkdir -p "$share_mountpoint"
  sshfs -o ssh_command="$share_dir/keys/ssh" "root@127.0.0.1:$served" "$share_mountpoint"
}

share_unmount() {
  if [ -n "$share_mountpoint" ] && mountpoint -q "$share_mountpoint"; then
    fusermount3 -u "$share_mountpoint" 2>/dev/null || umount -l "$share_mountpoint"
  fi
}

share_stop() {
  share_unmount
  if [ -f "$share_dir/keys/sshd.pid" ]; then
    kill "$(cat "$share_dir/keys/sshd.pid")" 2>/dev/null || true
  fi
}
