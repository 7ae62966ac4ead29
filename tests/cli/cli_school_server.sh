#!/usr/bin/env bash
# A school on its server with real boards: derslik-cli processes, each with a
# data folder of its own (run through tests/support/pgcluster.sh). A school day
# whose figures equal the same work on one board's files; two boards reading the
# same question and test files at once; the rollover started on two boards at
# once; the boards' folders after it.
source "$(dirname "$0")/../support/serverscript.sh"
psql -qc "CREATE DATABASE okul" -c "CREATE DATABASE degisim" >/dev/null
url="$base/okul"
# board N ...: board N of the school on the server; folder F ...: a data folder alone.
board() { local b="$1"; shift; "$cli" --veri-klasoru "$dir/tahta$b" --sunucu "$url" "$@"; }
folder() { local f="$1"; shift; "$cli" --veri-klasoru "$f" "$@"; }
q() { psql -d okul -qAt -c "$1"; }
"$cli" --veri-klasoru "$dir/yonetici" --sunucu "$url" server init >/dev/null

# ---- A school day. Three boards bring their folders in at the same time: a
# class each with remotes, the first with a test it ran already.
for b in 1 2 3; do
  c=$(case $b in 1) echo 5-A ;; 2) echo 8-D ;; 3) echo 8-E ;; esac)
  for i in 1 2 3 4; do
    folder "$dir/tahta$b" students add "Öğrenci$i" "Tahta$b" "$i" --class "$c" \
      --level "$([ $b = 1 ] && echo 5 || echo 8). SINIF" >/dev/null
    folder "$dir/tahta$b" remotes add "2$b-$i" >/dev/null
  done
  folder "$dir/tahta$b" pair auto --class "$c" >/dev/null
done
k=$(folder "$dir/tahta1" questions add --text "Kesir" --choices "a|b|c" --answer A --level "5. SINIF")
t=$(folder "$dir/tahta1" tests create "Eski Test" --level "5. SINIF")
folder "$dir/tahta1" tests add-questions "$t" "$k" >/dev/null
folder "$dir/tahta1" run simulate --test "$t" --class 5-A --seed 2 --at "01.12.2026 09:00:00" >/dev/null
for b in 1 2 3; do
  board $b server import-folder "$dir/tahta$b" >"$dir/aktar$b" 2>&1 &
done
wait
for b in 1 2 3; do
  grep -q "^Veri klasörü sunucuya aktarıldı: " "$dir/aktar$b" || fail "tahta$b aktarılamadı: $(cat "$dir/aktar$b")"
done
# The same school on one board's files: the server's school written out.
"$cli" --veri-klasoru "$dir/yonetici" --sunucu "$url" server export-folder "$dir/ayna" >/dev/null 2>&1 ||
  fail "dışa aktarılamadı"

# The teacher's work: questions and a test on board 1, the run on board 2, the
# reports on board 3; the same steps on the single folder.
day() {  # day WHERE-AUTHOR WHERE-RUN WHERE-READ (commands that take the rest)
  local author="$1" runner="$2" reader="$3" keys=() t
  for k in "2 + 3 kaçtır?|B" "7 × 8 kaçtır?|D" "Türkiye'nin başkenti?|A"; do
    keys+=("$($author questions add --text "${k%|*}" --choices "1|5|8|56|9" --answer "${k#*|}" \
      --level "8. SINIF" --course MATEMATİK)")
  done
  t=$($author tests create "Gün Sonu" --author "Ayşe Öğretmen" --level "8. SINIF")
  $author tests add-questions "$t" "${keys[@]}" >/dev/null
  echo "sorular ${keys[*]} test $t"
  $runner run simulate --test "$t" --class 8-D --seed 1 --at "08.12.2026 10:00:00" --json
  $reader report runs --class 8-D --json
  $reader report run 08.12.2026 10:00:00 --json
  $reader report ranking --class 8-D --last 5 --json
  $reader report items 08.12.2026 10:00:00 --json
}
start=$(date +%s)
day "board 1" "board 2" "board 3" >"$dir/sunucu.txt" 2>"$dir/sunucu.err" || fail "sunucuda gün: $(cat "$dir/sunucu.err")"
day "folder $dir/ayna" "folder $dir/ayna" "folder $dir/ayna" >"$dir/klasor.txt" 2>"$dir/klasor.err" ||
  fail "klasörde gün: $(cat "$dir/klasor.err")"
diff "$dir/sunucu.txt" "$dir/klasor.txt" >&2 || fail "sunucudaki gün tek klasördekinden farklı"
grep -q '"NET"' "$dir/sunucu.txt" || fail "sonuç satırı yok: $(cat "$dir/sunucu.txt")"
echo "okul günü: $(( $(date +%s) - start )) s" >&2

# ---- Two boards read the same question file, then the same test file, at
# once: one adds, the other says it was taken; nothing twice, nothing half.
src() { folder "$dir/kaynak" "$@"; }
for i in 1 2 3; do
  src questions add --text "Değişim $i" --choices "a|b|c" --answer A >/dev/null
done
t=$(src tests create "Değişim Testi")
src tests add-questions "$t" 1 2 3 >/dev/null
src questions export 1 2 --out "$dir/Sorular.cks" >/dev/null
src tests export "$t" --out "$dir/Test.ckp" >/dev/null
exchange() { "$cli" --veri-klasoru "$dir/degisim$1" --sunucu "$base/degisim" "${@:2}"; }
exchange 1 server init >/dev/null
d() { psql -d degisim -qAt -c "$1"; }
for kind in questions:Sorular.cks tests:Test.ckp; do
  verb=${kind%%:*} file=${kind#*:}
  for b in 1 2; do
    ( code=0; exchange $b "$verb" import "$dir/$file" >"$dir/al$b" 2>&1 || code=$?; echo $code >"$dir/kod$b" ) &
  done
  wait
  codes=$(sort "$dir/kod1" "$dir/kod2" | paste -sd,)
  [ "$codes" = "0,1" ] || fail "$file iki tahtada: çıkış kodları $codes: $(cat "$dir/al1" "$dir/al2")"
  cat "$dir/al1" "$dir/al2" | grep -q "^$file dosyası daha önce alınmıştı (" ||
    fail "$file ikinci tahtaya alındı dedi: $(cat "$dir/al1" "$dir/al2")"
done
[ "$(d "SELECT COUNT(*) FROM \"TABLEALINANDOSYA\"")" = 2 ] || fail "alınan dosya kayıtları"
# Two questions from the question file, three new with the test: five, each once.
[ "$(d "SELECT COUNT(*), COUNT(DISTINCT \"SORUNO\") FROM \"TABLESORU\"")" = "5|5" ] ||
  fail "sorular: $(d "SELECT COUNT(*), COUNT(DISTINCT \"SORUNO\") FROM \"TABLESORU\"")"
[ "$(d "SELECT COUNT(*) FROM soru2.\"TABLESORU\"")" = 5 ] || fail "soru içerikleri"
[ "$(d "SELECT COUNT(*) FROM \"TABLETEST\"")|$(d "SELECT COUNT(*) FROM \"TABLETESTSORU\"")" = "1|3" ] ||
  fail "testler: $(d "SELECT COUNT(*) FROM \"TABLETEST\"")"

# ---- The rollover started on two boards at once runs once: one board does it,
# the other is told it runs elsewhere (or, after it, that it was done).
results=$(q "SELECT COUNT(*) FROM \"TABLESONUC\"")
classes="SELECT \"SINIFI\" || ':' || COUNT(*) FROM \"TABLEOGRENCI\" GROUP BY \"SINIFI\" ORDER BY \"SINIFI\""
[ "$(q "$classes" | paste -sd' ')" = "5-A:4 8-D:4 8-E:4" ] || fail "sınıflar: $(q "$classes")"
for b in 1 2; do
  ( code=0; board $b rollover --yes --date 07.09.2027 >"$dir/atla$b" 2>&1 || code=$?; echo $code >"$dir/kod$b" ) &
done
wait
codes=$(sort "$dir/kod1" "$dir/kod2" | paste -sd,)
[ "$codes" = "0,1" ] || fail "sınıf atlatma iki tahtada: çıkış kodları $codes: $(cat "$dir/atla1" "$dir/atla2")"
winner=1 loser=2
[ "$(cat "$dir/kod1")" = 0 ] || { winner=2; loser=1; }
grep -q "^Sınıf atlatma prosedürü tamamlanmıştır\.$" "$dir/atla$winner" || fail "bitti denmedi: $(cat "$dir/atla$winner")"
grep -qE "^(Sınıf atlatma başka bir tahtada sürüyor\.|Sınıf atlatma yapılmadı: bu eğitim-öğretim yılı için yapılmıştı\.)" \
  "$dir/atla$loser" || fail "ikinci tahtaya söylenen: $(cat "$dir/atla$loser")"
[ "$(q "$classes" | paste -sd' ')" = "6-A:4 9-D:4 9-E:4" ] || fail "sınıflar bir kez atlamalı: $(q "$classes")"
[ "$(q "SELECT COUNT(*) FROM \"TABLECEVAP\"")" = 0 ] || fail "cevaplar yeni yılda"
stamp=$(sed -n 's|.*yedek: Yedek/\([^/]*\)/$|\1|p' "$dir/atla$winner")
[ -f "$dir/tahta$winner/Yedek/$stamp/TAMAM" ] || fail "yedek işaretlenmedi: Yedek/$stamp"
[ ! -e "$dir/tahta$loser/Yedek" ] || [ -z "$(ls "$dir/tahta$loser/Yedek")" ] || fail "ikinci tahtada yedek"
# The backup is the old year, whole: the run of the day is in it.
[ "$(folder "$dir/tahta$winner/Yedek/$stamp" sql "SELECT COUNT(*) FROM TABLESONUC" | tail -1)" = "$results" ] ||
  fail "yedekte sonuçlar yok"

# ---- After the rollover a board's old folder, the backup and a folder rolled
# over on its own are still known to the server.
for f in "$dir/tahta1" "$dir/tahta3"; do
  out=$(board 1 server import-folder "$f" 2>/dev/null)
  grep -qE "^Bu veri klasörü [0-9.]{10} [0-9:]{5}'de sunucuya aktarıldı\.$" <<<"$out" || fail "$f yeniden: $out"
done
folder "$dir/tahta2" rollover --yes --date 07.09.2027 >/dev/null || fail "tahta2 kendi klasöründe atlatılamadı"
out=$(board 1 server import-folder "$dir/tahta2" 2>/dev/null)
grep -q "sunucuya aktarıldı\.$" <<<"$out" || fail "atlatılmış tahta2 yeniden: $out"
cp -r "$dir/tahta$winner/Yedek/$stamp" "$dir/yedek"
out=$(board 1 server import-folder "$dir/yedek" 2>&1) && fail "yedek sunucuya aktarıldı"
grep -q "dışa aktarılmış bir kopya" <<<"$out" || fail "yedek için ileti: $out"
[ "$(q "$classes" | paste -sd' ')" = "6-A:4 9-D:4 9-E:4" ] || fail "yeniden aktarım bir şey değiştirdi"
echo "tamam"
