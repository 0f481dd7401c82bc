#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests of the server store.
#
#   pg-cluster.sh start DIR   makes a new cluster in DIR (removing what an earlier run left
#                             there) and starts it; it listens only on the Unix socket DIR/.s.PGSQL.5432
#   pg-cluster.sh stop DIR    stops it and removes DIR
#
# The cluster's superuser is "quellmark", who may connect over the socket without a
# password: postgresql://quellmark@/postgres?host=DIR. The server refuses to run as root,
# so under root the cluster belongs to the system user "postgres" that the Debian package
# makes; DIR should then lie where that user may write (e.g. under /tmp).
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
action=$1
dir=$2
[[ "$dir" == /* ]] || dir="$PWD/$dir"

bindir=""
for candidate in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  if [[ -x "$candidate/initdb" && -x "$candidate/pg_ctl" ]]; then bindir=$candidate; break; fi
done
if [[ -z "$bindir" ]]; then
  command -v pg_ctl >/dev/null || { echo "$0: PostgreSQL server programs not found (apt-get install postgresql)" >&2; exit 1; }
  bindir=$(dirname "$(command -v pg_ctl)")
fi

# Runs a server program as the cluster's owner.
as_owner() {
  if [[ $(id -u) -eq 0 ]]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  if [[ -f "$dir/data/postmaster.pid" ]]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
}

case "$action" in
  start)
    stop_cluster
    rm -rf "$dir"
    mkdir -p "$dir"
    chmod 755 "$dir"
    if [[ $(id -u) -eq 0 ]]; then
      getent passwd postgres >/dev/null || { echo "$0: the system user postgres is missing" >&2; exit 1; }
      chown postgres: "$dir"
    fi
    as_owner "$bindir/initdb" -D "$dir/data" -U quellmark -A trust -E UTF8 --locale=C.UTF-8 \
      --no-instructions >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # Unix socket only; no durability needed for test data.
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "PostgreSQL listening on $dir"
    ;;
  stop)
    stop_cluster
    rm -rf "$dir"
    ;;
  *) usage ;;
esac
