# Sourced by the derslik-cli scripts that run against the throwaway cluster
# (tests/support/pgcluster.sh) with derslik-cli as their first argument: $cli,
# a temporary folder $dir removed at the end, fail(), and $base, the cluster's
# address without its database.
set -euo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "HATA: $*" >&2; exit 1; }
[ -n "${DERSLIK_TEST_SERVER:-}" ] || fail "sunucu yok: tests/support/pgcluster.sh ile çalıştırın"
base="${DERSLIK_TEST_SERVER%/*}"
