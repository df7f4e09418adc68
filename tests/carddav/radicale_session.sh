# Sourced by scripts that need the test CardDAV server for the whole of their
# run (scripts/test.sh, bench/run_sync_bench.sh):
#   . tests/carddav/radicale_session.sh
#   start_radicale_session || exit 1
# Starts Radicale (start_radicale.sh), exports where it is (the
# QUILLBOX_CARDDAV_* variables) and stops it and removes its folder when the
# script exits, whatever the reason.
radicale_session_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

start_radicale_session() {
  local server_env
  server_env=$(bash "$radicale_session_dir/start_radicale.sh") || return 1
  eval "$server_env"
  trap stop_radicale_session EXIT
}

stop_radicale_session() {
  kill "$QUILLBOX_CARDDAV_PID" 2>/dev/null
  wait "$QUILLBOX_CARDDAV_PID" 2>/dev/null
  rm -rf "$QUILLBOX_CARDDAV_DIR"
}
