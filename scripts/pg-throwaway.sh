#!/usr/bin/env bash
# A throwaway PostgreSQL server for tests, benchmarks and development (run as root: the
# server itself runs as the postgres user).
#   pg-throwaway.sh start          initdb into a new temporary folder, start on 127.0.0.1 at a
#                                  free port; prints shell lines that set MVX_PG_DIR and
#                                  MVX_TEST_PG_URL (use: eval "$(scripts/pg-throwaway.sh start)")
#   pg-throwaway.sh halt DIR       stops the server and keeps its data (an outage)
#   pg-throwaway.sh resume DIR     starts it again on the same port
#   pg-throwaway.sh stop DIR       stops it and removes the folder
set -euo pipefail

PG_BIN=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)}
[ -x "$PG_BIN/initdb" ] || { echo "pg-throwaway: no PostgreSQL server found (scripts/bootstrap.sh installs it)" >&2; exit 1; }

as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
  if command -v python3 >/dev/null; then
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
    return
  fi
  local port
  while :; do  # a port nothing answers on
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

pg_start() {
  local dir=$1 port
  port=$(cat "$dir/port")
  as_postgres "$PG_BIN/pg_ctl" -D "$dir/data" -w -t 30 -l "$dir/log" \
    -o "-k $dir -p $port -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=100" start >/dev/null
}

case "${1:-}" in
  start)
    dir=$(mktemp -d /tmp/mvx-pg.XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" -ne 0 ] || chown postgres "$dir"
    as_postgres "$PG_BIN/initdb" -D "$dir/data" -A trust -U mvx >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; exit 1; }
    free_port >"$dir/port"
    pg_start "$dir"
    echo "export MVX_PG_DIR=$dir"
    echo "export MVX_TEST_PG_URL=postgresql://mvx@127.0.0.1:$(cat "$dir/port")/postgres"
    ;;
  halt)
    as_postgres "$PG_BIN/pg_ctl" -D "$2/data" -w -m fast stop >/dev/null
    ;;
  resume)
    pg_start "$2"
    ;;
  stop)
    [ -d "${2:-}/data" ] || exit 0
    as_postgres "$PG_BIN/pg_ctl" -D "$2/data" -w -m fast stop >/dev/null 2>&1 || true
    rm -rf "$2"
    ;;
  *)
    echo "usage: $0 start | halt DIR | resume DIR | stop DIR" >&2
    exit 2
    ;;
esac
