#!/usr/bin/env bash
# Starts a Radicale CardDAV server for the tests and the benchmark on a free
# port of 127.0.0.1 and prints the shell lines that say where it is:
#   eval "$(tests/carddav/start_radicale.sh)"; ...; kill "$QUILLBOX_CARDDAV_PID"
# QUILLBOX_CARDDAV_URL is the server's root, QUILLBOX_CARDDAV_USER and
# QUILLBOX_CARDDAV_PASSWORD the account, QUILLBOX_CARDDAV_DIR the folder of
# the storage, the configuration and the log (removed by the caller).
set -euo pipefail

python=/usr/bin/python3
command -v radicale >/dev/null || { echo "radicale is not installed (Debian package radicale)" >&2; exit 1; }

# The storage in memory where the machine has it: the server syncs every
# write to disk, which costs the tests time and proves nothing.
base=${TMPDIR:-/tmp}
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && base=/dev/shm
dir=$(mktemp -d "$base/quillbox-radicale-XXXXXX")
user=quillbox
password=$("$python" -c 'import secrets; print(secrets.token_urlsafe(12))')
(umask 077 && printf '%s:%s\n' "$user" "$password" >"$dir/users")
port=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

cat >"$dir/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
max_connections = 20
timeout = 60
[auth]
type = htpasswd
htpasswd_filename = $dir/users
htpasswd_encryption = plain
delay = 0.1
[storage]
filesystem_folder = $dir/collections
[web]
type = none
CONFIG

radicale --config "$dir/config" >"$dir/radicale.log" 2>&1 &
pid=$!

# Ready once the port answers (at most 20 seconds).
for _ in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || { echo "radicale did not start:" >&2; cat "$dir/radicale.log" >&2; exit 1; }
  if "$python" -c "import socket,sys; s=socket.socket(); sys.exit(s.connect_ex(('127.0.0.1', $port)))"; then
    printf 'export %s\n' "QUILLBOX_CARDDAV_URL=http://127.0.0.1:$port/" "QUILLBOX_CARDDAV_USER=$user" \
      "QUILLBOX_CARDDAV_PASSWORD=$password" "QUILLBOX_CARDDAV_DIR=$dir" "QUILLBOX_CARDDAV_PID=$pid"
    exit 0
  fi
  sleep 0.1
done
echo "radicale did not answer on port $port" >&2
kill "$pid"
exit 1
