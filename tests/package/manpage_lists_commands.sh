#!/usr/bin/env bash
# The manual page of derslik-cli documents exactly the commands that
# "derslik-cli help" lists: a command added without its entry, or an entry left
# behind for a command that is gone, fails here.
#   manpage_lists_commands.sh DERSLIK_CLI MAN_SOURCE
set -euo pipefail
cli=$1
page=$2
# "help" itself is answered before the command list and is not on it.
help_verbs=$({ "$cli" help | sed -n 's/^  \([a-z-]*\).*/\1/p'; echo help; } | sort -u)
# First word of every tag (the line after .TP) in the KOMUTLAR section.
page_verbs=$(sed 's/\\-/-/g; s/\\f[BIR]//g; s/"//g' "$page" |
  awk '/^\.SH/ {inside = ($2 == "KOMUTLAR")} {if (inside && tag) print $2; tag = /^\.TP/}' |
  sort -u)
[ "$(wc -l <<<"$help_verbs")" -gt 1 ] || { echo "derslik-cli help komut yazmadı" >&2; exit 1; }
missing=$(comm -23 <(echo "$help_verbs") <(echo "$page_verbs"))
stale=$(comm -13 <(echo "$help_verbs") <(echo "$page_verbs"))
[ -z "$missing" ] || echo "Kılavuzda olmayan komutlar: $missing" >&2
[ -z "$stale" ] || echo "Kılavuzda olup derslik-cli'de olmayan komutlar: $stale" >&2
[ -z "$missing$stale" ]
