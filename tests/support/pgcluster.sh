#!/usr/bin/env bash
# Runs a command against a throwaway PostgreSQL cluster: initdb into a temporary
# folder (as the postgres user when run as root), the server's socket in that
# folder, a free port on 127.0.0.1; stopped and removed when the command ends.
# The command gets DERSLIK_TEST_BACKEND=postgres and DERSLIK_TEST_SERVER (the
# maintenance database's address; every test makes databases of its own), and
# PGHOST/PGPORT for psql. The role "parolali" logs in only with the password
# "gizli-parola" (scram), so a test can check a refused and an accepted login.
# A cluster that cannot start is a failure with its reason, never a skip.
set -uo pipefail

fail() { echo "pgcluster: $*" >&2; exit 1; }

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bin" ] && [ -x "$bin/initdb" ] || fail "PostgreSQL kurulu değil (postgresql paketi): initdb bulunamadı."

dir=$(mktemp -d /tmp/derslik-pg.XXXXXX) || fail "geçici klasör oluşturulamadı."
as_pg=()
if [ "$(id -u)" -eq 0 ]; then
  id postgres >/dev/null 2>&1 || fail "postgres kullanıcısı yok."
  chown postgres: "$dir"
  as_pg=(runuser -u postgres --)
fi
chmod 700 "$dir"

stop() {
  "${as_pg[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$dir"
}
trap stop EXIT

"${as_pg[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
  --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; fail "initdb çalışmadı."; }
# The password role's line comes before the catch-all trust lines.
sed -i '1i host all parolali 127.0.0.1/32 scram-sha-256' "$dir/data/pg_hba.conf"

started=
for attempt in 1 2 3 4 5; do
  port=$(( 20000 + (RANDOM * 7 + $$ + attempt * 131) % 40000 ))
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue  # taken
  # Commits stay synchronous: what the server acknowledged survives a test's hard
  # stop, as on a real server (without fsync it costs a write, not a flush).
  opts="-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c max_connections=200"
  if "${as_pg[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 -o "$opts" \
      start >/dev/null 2>&1; then
    started=1
    break
  fi
done
[ -n "$started" ] || { tail -20 "$dir/server.log" >&2; fail "PostgreSQL başlatılamadı."; }

"$bin/psql" -h "$dir" -p "$port" -U postgres -d postgres -qAt \
  -c "CREATE ROLE parolali LOGIN SUPERUSER PASSWORD 'gizli-parola'" >/dev/null ||
  fail "deneme rolü oluşturulamadı."

export DERSLIK_TEST_BACKEND=postgres
export DERSLIK_TEST_SERVER="postgresql://postgres@127.0.0.1:$port/postgres"
export PGHOST="$dir" PGPORT="$port" PGUSER=postgres
# pg_ctl for this cluster; a test appends "stop -m immediate", "start" or "restart".
export DERSLIK_TEST_PGCTL="${as_pg[*]} $bin/pg_ctl -D $dir/data -l $dir/server.log -w -t 30 -o \"$opts\""
"$@"
