#!/usr/bin/env bash
# Starts a Radicale CardDAV server for the tests and the benchmark: on a free
# port of 127.0.0.1, with its own storage folder and a plain htpasswd file,
# and prints the shell lines that tell the tests where it is:
#
#   eval "$(tests/carddav/start_radicale.sh)"     # starts it
#   ctest --test-dir build/dev -R carddav         # the tests use it
#   kill "$QUILLBOX_CARDDAV_PID"                  # stops it
#
# QUILLBOX_CARDDAV_URL is the server's root, QUILLBOX_CARDDAV_USER and
# QUILLBOX_CARDDAV_PASSWORD the account, QUILLBOX_CARDDAV_DIR the folder that
# holds the storage, the configuration and the log (removed by the caller).
# Set RADICALE_DIR to choose the folder.
set -euo pipefail

python=/usr/bin/python3
[ -x "$python" ] || python=python3
command -v radicale >/dev/null || { echo "radicale is not installed (Debian package radicale)" >&2; exit 1; }

# The storage in memory where the machine has it: the server syncs every
# write to disk, which costs the tests time and proves nothing.
base=${TMPDIR:-/tmp}
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  base=/dev/shm
fi
dir=${RADICALE_DIR:-$(mktemp -d "$base/quillbox-radicale-XXXXXX")}
mkdir -p "$dir/collections"
user=quillbox
password=$("$python" -c 'import secrets; print(secrets.token_urlsafe(12))')
printf '%s:%s\n' "$user" "$password" >"$dir/users"
chmod 600 "$dir/users"

# A free port: the system picks one, and it is given to Radicale at once.
port=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')

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
[rights]
type = owner_only
[storage]
filesystem_folder = $dir/collections
[web]
type = none
[logging]
level = warning
CONFIG

radicale --config "$dir/config" >"$dir/radicale.log" 2>&1 &
pid=$!

# Ready once the port answers (at most 20 seconds).
for _ in $(seq 1 200); do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "radicale did not start:" >&2
    cat "$dir/radicale.log" >&2
    exit 1
  fi
  if "$python" -c "import socket,sys; s=socket.socket(); s.settimeout(0.2); sys.exit(s.connect_ex(('127.0.0.1', $port)))" 2>/dev/null; then
    echo "export QUILLBOX_CARDDAV_URL=http://127.0.0.1:$port/"
    echo "export QUILLBOX_CARDDAV_USER=$user"
    echo "export QUILLBOX_CARDDAV_PASSWORD=$password"
    echo "export QUILLBOX_CARDDAV_DIR=$dir"
    echo "export QUILLBOX_CARDDAV_PID=$pid"
    exit 0
  fi
  sleep 0.1
done
echo "radicale did not answer on port $port" >&2
kill "$pid" 2>/dev/null || true
exit 1
