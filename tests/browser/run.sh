#!/usr/bin/env bash
# Installs puppeteer-core (pinned in package-lock.json) into WORK_DIR once, then
# runs the class of browsers against derslik-cli. Chromium is Debian's; a
# missing one fails the test, it is never skipped.
#   run.sh DERSLIK_CLI WORK_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cli="$1"
work="$2"
mkdir -p "$work"
chromium="${CHROMIUM:-/usr/bin/chromium}"
if [ ! -x "$chromium" ]; then
  echo "Chromium yok ($chromium): scripts/setup kurar." >&2
  exit 1
fi
if ! cmp -s "$here/package-lock.json" "$work/package-lock.json" || [ ! -d "$work/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$work/"
  (cd "$work" && npm ci --no-audit --no-fund --loglevel=error)
fi
cp "$here/sinif.mjs" "$work/"
cd "$work"
exec node sinif.mjs "$cli" "$work"
