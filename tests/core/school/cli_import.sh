#!/usr/bin/env bash
# Student import through derslik-cli: the class from the list's title or from
# --class, a second import that doubles nobody, and lists that are refused.
set -euo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
run() { "$cli" --veri-klasoru "$dir" "$@"; }
fail() { echo "HATA: $*" >&2; exit 1; }
count() { run students list | tail -n +2 | wc -l; }

run init >/dev/null
printf 'ATATÜRK ORTAOKULU\n7. Sınıf / A Şubesi Sınıf Listesi\nS.No;Öğrenci No;Adı;Soyadı\n1;501;Ece;Kaya\n2;502;Can;Er\n' \
  >"$dir/eokul.csv"
run students import "$dir/eokul.csv" --level "7. SINIF" | grep -q "^Sınıf: 7-A$" || fail "başlıktaki sınıf okunmadı"
[ "$(run students list --class 7-A | tail -n +2 | wc -l)" = 2 ] || fail "iki öğrenci 7-A olmalıydı"
run students import "$dir/eokul.csv" --level "7. SINIF" | grep -q "^0 öğrenci eklendi, 2 öğrenci güncellendi" ||
  fail "ikinci aktarım öğrencileri çoğalttı"

# Pairs given for a national list replace the ones it gets by itself.
run students import "$dir/eokul.csv" --level "7. SINIF" --map "3=ADI,4=SOYADI" | grep -q "^0 öğrenci eklendi, 2 öğrenci güncellendi" ||
  fail "--map e-Okul listesinde kullanılamadı"

printf 'Adı;Soyadı\nNur;Ak\n' >"$dir/liste.csv"
run students import "$dir/liste.csv" --map "1=ADI,2=SOYADI" --class 7-B >/dev/null
[ "$(run students list --class 7-B | tail -n +2 | wc -l)" = 1 ] || fail "--class uygulanmadı"
[ "$(run students list --class 7-B | tail -n +2 | cut -f6)" = "7. SINIF" ] ||
  fail "aktarılan öğrencinin seviyesi sınıfından (students add gibi) gelmedi"

before="$(count)"
if run students import "$dir/liste.csv" --map "1=ADI,1=SOYADI" >/dev/null 2>"$dir/err"; then
  fail "bir sütun iki kez eşleştirildi"
fi
grep -q "1. sütun zaten eşleştirilmiş" "$dir/err" || fail "ikinci eşleştirmenin nedeni söylenmedi"
printf 'Adı;Soyadı\n"Veli;Kaya\nAyşe;Nur\n' >"$dir/tirnak.csv"
if run students import "$dir/tirnak.csv" --map "1=ADI,2=SOYADI" >/dev/null 2>"$dir/err"; then
  fail "kapanmayan tırnak kabul edildi"
fi
grep -q "Satır 2: kapanmayan tırnak" "$dir/err" || fail "kapanmayan tırnağın satırı söylenmedi"
[ "$(count)" = "$before" ] || fail "reddedilen dosyalar öğrenci ekledi"
echo "tamam"
