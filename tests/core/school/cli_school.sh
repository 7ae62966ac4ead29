#!/usr/bin/env bash
# End to end through derslik-cli: a school set up, paired and moved up a year by
# the same core code the screens run.
set -euo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
run() { "$cli" --veri-klasoru "$dir" "$@"; }
fail() { echo "HATA: $*" >&2; exit 1; }

printf 'S.No;Öğrenci No;Adı;Soyadı;Sınıfı\n1;501;Ali Can;Yılmaz;5-A\n2;502;Ayşe;Türkiye'"'"'nin;5-A\n' >"$dir/liste.csv"
run students import "$dir/liste.csv" --map "2=NUMARASI,3=ADI,4=SOYADI,5=SINIFI" --level 5 >/dev/null
run students add Zeki Müren 503 --class 5-A --level 5 >/dev/null
[ "$(run students list --class 5-A | wc -l)" = 4 ] || fail "üç öğrenci beklenirdi"
run students list | grep -q "Türkiye'nin" || fail "kesme işareti kayboldu"
run remotes add 12-201 >/dev/null
run remotes add 12-202 >/dev/null
run remotes add 12-200 --teacher >/dev/null
run remotes add 300-1 >/dev/null 2>&1 && fail "geçersiz adres kabul edildi"
run pair auto --class 5-A | grep -q "^2 eşleştirme" || fail "iki eşleştirme beklenirdi"
run rollover --date 01.03.2027 >/dev/null || true
run rollover --date 02.09.2027 --yes | grep -q "2027-2028" || fail "sınıf atlatma yapılmadı"
[ "$(run students list --class 6-A | wc -l)" = 4 ] || fail "öğrenciler 6-A olmalıydı"
ls "$dir"/Yedek/*/TAMAM "$dir"/Yedek/*/DERSLIK.db >/dev/null 2>&1 || fail "yedek yok"
echo "tamam"
