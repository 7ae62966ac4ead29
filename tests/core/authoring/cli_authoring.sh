#!/usr/bin/env bash
# End to end through derslik-cli: questions written, a test composed, its
# booklets ordered and printed, renumbered; refusals name the problem and
# change nothing.
set -euo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
run() { "$cli" --veri-klasoru "$dir" "$@"; }
fail() { echo "HATA: $*" >&2; exit 1; }
refused() {  # refused EXPECTED-STDERR-PART COMMAND...: non-zero exit, the words on stderr
  local expect="$1"; shift
  local out
  if out=$(run "$@" 2>&1 >/dev/null); then fail "kabul edildi: $*"; fi
  grep -qF -- "$expect" <<<"$out" || fail "beklenen hata yok ($expect): $out"
}
db() { run sql "$1" | tail -n +2; }

k1=$(run questions add --text "Türkiye'nin başkenti neresidir?" --choices "İstanbul|Ankara|İzmir|Bursa|Konya" \
  --answer B --level "5. SINIF" --course "SOSYAL BİLGİLER" --unit "Bölgeler" --time 30 --difficulty kolay)
[ "$k1" = 1 ] || fail "ilk soru 1 olmalıydı: $k1"
printf '\xff\xd8\xff' >"$dir/bozuk.jpg"
refused "bir resim değil" questions add --picture "$dir/bozuk.jpg" --answer A
refused "yalnız biri" questions add --picture "$dir/bozuk.jpg" --text x --answer A
refused "Doğru şık" questions add --text "Cevapsız"
refused "--points" questions add --text "x" --answer A --points 101
[ "$(db "SELECT COUNT(*) FROM TABLESORU")" = 1 ] || fail "reddedilen sorular yazıldı"
k2=$(run questions add --text "2 + 2 kaçtır?" --choices "3|4|5|6|7" --answer B --level "5. SINIF" --course MATEMATİK)
k3=$(run questions add --text "3 × 3 kaçtır?" --choices "6|8|9|12|15" --answer C --level "5. SINIF" --course MATEMATİK)

# Lists: tab separated with a header row, or one JSON document.
run questions list --course MATEMATİK | head -1 | grep -q "^SORUNO	SEVIYE	DERS" || fail "başlık satırı yok"
[ "$(run questions list --course MATEMATİK | wc -l)" = 3 ] || fail "iki matematik sorusu beklenirdi"
run questions list --json --last 1 | grep -q "\"SORUNO\": \"$k3\"" || fail "son eklenen $k3 olmalıydı"
run questions list --answer b | grep -q "başkenti" || fail "metin aranamadı"

t=$(run tests create "Deneme Sınavı" --author "Ayşe Öğretmen" --level "5. SINIF")
run tests add-questions "$t" "$k1" "$k2" "$k3" >/dev/null
refused "Soru zaten bu teste eklenmiş" tests add-questions "$t" "$k2"
refused "Soru Bulunamadı" tests add-questions "$t" 99
refused "Test Bulunamadı" tests show Serbest
run tests list | grep -q "^$t	Deneme Sınavı	Ayşe Öğretmen	3	" || fail "test listesi"
run tests booklet-order "$t" B 3,1,2 >/dev/null
refused "iki kez yazılmış" tests booklet-order "$t" C 1,1,2
[ "$(db "SELECT NZ(CKITAPCIK) FROM TABLETEST")" = 0 ] || fail "hatalı sıra yazıldı"
run tests show "$t" | tail -3 | cut -f1,2,3,6 | tr '\t' ' ' >"$dir/show.txt"
diff <(printf '1 1 B 2\n2 2 B 3\n3 3 C 1\n') "$dir/show.txt" || fail "tests show"
run tests show "$t" --json | grep -q '"BKITAPCIK": "1"' || fail "JSON test nesnesi"

run tests booklet "$t" --out "$dir/b.pdf" --booklet B --key --header-on none >/dev/null
if command -v pdftotext >/dev/null; then
  pdftotext "$dir/b.pdf" - | grep -q "B KİTAPÇIĞI" || fail "kitapçık adı yok"
  pdftotext "$dir/b.pdf" - | grep -q "1-C" || fail "B kitapçığının anahtarı 1-C ile başlamalıydı"
fi
printf 'Okulumuz\nAdı Soyadı:\n' >"$dir/baslik.txt"
run tests booklet "$t" --out "$dir/a.odt" --header "$dir/baslik.txt" >/dev/null
[ -s "$dir/a.odt" ] || fail "odt yazılmadı"
refused "--out" tests booklet "$t" --out "$dir/a.doc"

run tests auto "$t" --count 5 | grep -qF "0 soru eklendi; ölçütlere uyan başka soru yok" || fail "seçim iletisi"
refused "Sıfırdan farklı" tests auto "$t" --count 0
refused "--usage" tests auto "$t" --count 1 --usage bazen

run tests renumber "$t" 12 >/dev/null
[ "$(db "SELECT GROUP_CONCAT(SORUNO) FROM (SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO='12' ORDER BY VAL(TESTSIRANO))")" = "12001,12002,12003" ] ||
  fail "yeniden numaralandırma"
t2=$(run tests create "Başka")
refused "zaten var" tests renumber 12 "$t2"
run tests shuffle 12 >/dev/null
[ "$(db "SELECT GROUP_CONCAT(TESTSIRANO) FROM (SELECT TESTSIRANO FROM TABLETESTSORU WHERE TESTNO='12' ORDER BY VAL(TESTSIRANO))")" = "1,2,3" ] ||
  fail "karıştırma sıraları bozdu"
run questions delete 12001 | grep -q "^12001	silindi" || fail "soru silinmedi"
refused "Soru Bulunamadı" questions delete 12001
echo "tamam"
