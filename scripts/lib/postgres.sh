# A throwaway PostgreSQL cluster for the ODBC tests, and an odbc.ini of its
# own naming it and the SQLite sample through their ODBC drivers.
# shellcheck shell=bash
#
# start_postgres SQLITE_SAMPLE_FILE starts the cluster (initdb as the postgres
# user in a temporary folder, password authentication, 127.0.0.1 only, a free
# port), loads samples/trading.postgres.sql into the database "ravezov" owned
# by the role "ravezov", writes the odbc.ini and exports:
#   ODBCINI                          the odbc.ini (user DSNs are read from it)
#   RAVEZOV_ODBC_PG_DSN              DSN of the cluster's sample database
#   RAVEZOV_ODBC_PG_USER, RAVEZOV_ODBC_PG_PASSWORD
#   RAVEZOV_ODBC_SQLITE_DSN          DSN of the SQLite sample file
#   RAVEZOV_PG_PORT, RAVEZOV_PG_DATA, RAVEZOV_PG_BIN
#   RAVEZOV_PG_STOP, RAVEZOV_PG_START  commands that stop the server at once
#                                    and start it again (for fault tests)
# It sets an EXIT trap that stops the cluster and removes its folders, so
# the cluster goes away however the script ends.

RAVEZOV_PG_ROLE=ravezov
RAVEZOV_PG_DATABASE=ravezov

postgres_bin_dir() {
  local dir
  dir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
  [[ -x "$dir/initdb" ]] || die "no PostgreSQL server is installed (package postgresql)"
  echo "$dir"
}

# The first port from 54320 on that nothing listens on.
free_local_port() {
  local port
  for port in $(seq 54320 54420); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  die "no free port for PostgreSQL"
}

as_postgres() { runuser -u postgres -- "$@"; }

stop_postgres() {
  if [[ -n "${RAVEZOV_PG_DATA:-}" && -d "${RAVEZOV_PG_DATA}" ]]; then
    as_postgres "$RAVEZOV_PG_BIN/pg_ctl" -D "$RAVEZOV_PG_DATA" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  [[ -n "${RAVEZOV_PG_ROOT:-}" ]] && rm -rf "$RAVEZOV_PG_ROOT"
  [[ -n "${RAVEZOV_ODBC_DIR:-}" ]] && rm -rf "$RAVEZOV_ODBC_DIR"
  RAVEZOV_PG_DATA= RAVEZOV_PG_ROOT= RAVEZOV_ODBC_DIR=
}

write_odbc_ini() {
  local sqlite_file="$1"
  RAVEZOV_ODBC_DIR="$(mktemp -d /tmp/ravezov-odbc.XXXXXX)"
  export ODBCINI="$RAVEZOV_ODBC_DIR/odbc.ini"
  export RAVEZOV_ODBC_PG_DSN=RavezovPostgres RAVEZOV_ODBC_SQLITE_DSN=RavezovSQLite
  cat >"$ODBCINI" <<INI
[$RAVEZOV_ODBC_PG_DSN]
Description=Ravezov sample on a throwaway PostgreSQL
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$RAVEZOV_PG_PORT
Database=$RAVEZOV_PG_DATABASE
Username=$RAVEZOV_ODBC_PG_USER
Password=$RAVEZOV_ODBC_PG_PASSWORD
# Rows come through a server cursor, 500 per round trip, not all at once.
UseDeclareFetch=1
Fetch=500

[$RAVEZOV_ODBC_SQLITE_DSN]
Description=Ravezov sample file through the SQLite ODBC driver
Driver=SQLite3
Database=$sqlite_file
INI
  chmod 0600 "$ODBCINI"
  write_odbcinst_ini
}

# The two drivers the DSNs use, named by path; the ODBC tests keep them
# loaded (RAVEZOV_ODBC_DRIVER_LIBS), so the leak checker can name, and
# tests/lsan.supp suppress, the leaks the drivers themselves leave.
write_odbcinst_ini() {
  local pg_driver sqlite_driver
  pg_driver="$(dpkg -L odbc-postgresql | grep '/psqlodbcw\.so$' | head -1)"
  sqlite_driver="$(dpkg -L libsqliteodbc | grep '/libsqlite3odbc\.so$' | head -1)"
  [[ -n "$pg_driver" && -n "$sqlite_driver" ]] || die "the PostgreSQL or SQLite ODBC driver is not installed"
  export ODBCSYSINI="$RAVEZOV_ODBC_DIR"
  export RAVEZOV_ODBC_DRIVER_LIBS="$pg_driver:$sqlite_driver"
  cat >"$ODBCSYSINI/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode version)
Driver=$pg_driver

[SQLite3]
Description=SQLite3 ODBC Driver
Driver=$sqlite_driver
INI
}

start_postgres() {
  local sqlite_file="$1"
  # The SQLite driver would quietly create a missing file, empty.
  [[ -s "$sqlite_file" ]] || die "no SQLite sample at $sqlite_file (build ravezov_samples first)"
  trap stop_postgres EXIT
  RAVEZOV_PG_BIN="$(postgres_bin_dir)"
  RAVEZOV_PG_ROOT="$(mktemp -d /tmp/ravezov-pg.XXXXXX)"
  RAVEZOV_PG_DATA="$RAVEZOV_PG_ROOT/data"
  RAVEZOV_PG_PORT="$(free_local_port)"
  export RAVEZOV_ODBC_PG_USER="$RAVEZOV_PG_ROLE"
  export RAVEZOV_ODBC_PG_PASSWORD="pw-$RANDOM$RANDOM"
  export RAVEZOV_PG_BIN RAVEZOV_PG_DATA RAVEZOV_PG_PORT
  chown postgres "$RAVEZOV_PG_ROOT"
  chmod 0700 "$RAVEZOV_PG_ROOT"

  local superuser_pw="su-$RANDOM$RANDOM"
  echo "$superuser_pw" >"$RAVEZOV_PG_ROOT/pwfile"
  chown postgres "$RAVEZOV_PG_ROOT/pwfile"
  as_postgres "$RAVEZOV_PG_BIN/initdb" -D "$RAVEZOV_PG_DATA" -U postgres --pwfile="$RAVEZOV_PG_ROOT/pwfile" \
    -E UTF8 --locale=C.UTF-8 --auth-host=scram-sha-256 --auth-local=peer >"$RAVEZOV_PG_ROOT/initdb.log" 2>&1 ||
    { cat "$RAVEZOV_PG_ROOT/initdb.log" >&2; die "initdb failed"; }
  rm -f "$RAVEZOV_PG_ROOT/pwfile"
  as_postgres "$RAVEZOV_PG_BIN/pg_ctl" -D "$RAVEZOV_PG_DATA" -l "$RAVEZOV_PG_ROOT/server.log" -w -t 60 \
    -o "-p $RAVEZOV_PG_PORT -k $RAVEZOV_PG_ROOT -c listen_addresses=127.0.0.1" start >/dev/null ||
    { cat "$RAVEZOV_PG_ROOT/server.log" >&2; die "PostgreSQL did not start"; }

  local psql=("$RAVEZOV_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$RAVEZOV_PG_ROOT" -p "$RAVEZOV_PG_PORT")
  as_postgres "${psql[@]}" -d postgres -c \
    "CREATE ROLE $RAVEZOV_PG_ROLE LOGIN PASSWORD '$RAVEZOV_ODBC_PG_PASSWORD'" >/dev/null ||
    die "creating the role failed"
  as_postgres "${psql[@]}" -d postgres -c \
    "CREATE DATABASE $RAVEZOV_PG_DATABASE OWNER $RAVEZOV_PG_ROLE ENCODING 'UTF8'" >/dev/null ||
    die "creating the database failed"
  # Loaded by the role over TCP with its password, so it owns the tables.
  PGPASSWORD="$RAVEZOV_ODBC_PG_PASSWORD" "$RAVEZOV_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 \
    -p "$RAVEZOV_PG_PORT" -U "$RAVEZOV_PG_ROLE" -d "$RAVEZOV_PG_DATABASE" \
    -f "$RAVEZOV_ROOT/samples/trading.postgres.sql" >/dev/null || die "loading the PostgreSQL sample failed"
  write_odbc_ini "$sqlite_file"
  export RAVEZOV_PG_STOP="runuser -u postgres -- $RAVEZOV_PG_BIN/pg_ctl -D $RAVEZOV_PG_DATA -m immediate -w stop"
  export RAVEZOV_PG_START="runuser -u postgres -- $RAVEZOV_PG_BIN/pg_ctl -D $RAVEZOV_PG_DATA -l $RAVEZOV_PG_ROOT/server.log -w -t 60 -o '-p $RAVEZOV_PG_PORT -k $RAVEZOV_PG_ROOT -c listen_addresses=127.0.0.1' start"
  echo "PostgreSQL $("$RAVEZOV_PG_BIN/postgres" -V | awk '{print $3}') on 127.0.0.1:$RAVEZOV_PG_PORT"
}
