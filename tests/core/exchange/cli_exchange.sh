#!/usr/bin/env bash
# Question and test files through derslik-cli between two data folders: what
# one writes the other reads under its own numbers; a bad file adds nothing,
# says the screens' message and exits non-zero.
set -euo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
from() { "$cli" --veri-klasoru "$dir/gonderen" "$@"; }
to() { "$cli" --veri-klasoru "$dir/alan" "$@"; }
fail() { echo "HATA: $*" >&2; exit 1; }
db() { to sql "$1" | tail -n +2; }

from questions add --text "2 + 2 kaçtır?" --choices "3|4|5|6|7" --answer B --level "5. SINIF" --course MATEMATİK >/dev/null
from questions add --text "3 × 3 kaçtır?" --choices "6|8|9|12|15" --answer C --level "5. SINIF" --course MATEMATİK >/dev/null
t=$(from tests create "Çarpma" --author "Ali Hoca")
from tests add-questions "$t" 1 2 >/dev/null
[ "$(from questions export 1 2 --out "$dir/Sorular.cks")" = "Soru dosyası oluşturuldu" ] || fail "soru dosyası"
[ "$(from tests export "$t" --out "$dir/Test.ckp")" = "Test dosyası oluşturuldu" ] || fail "test dosyası"
if from questions export 1 99 --out "$dir/yok.cks" 2>/dev/null; then fail "olmayan soru yazıldı"; fi
[ ! -e "$dir/yok.cks" ] || fail "başarısız yazma dosya bıraktı"

to questions add --text "Yerel" --choices "a|b" --answer A >/dev/null
[ "$(to questions import "$dir/Sorular.cks")" = "2 adet soru eklendi" ] || fail "soru alma"
[ "$(to tests import "$dir/Test.ckp")" = "1 adet test eklendi" ] || fail "test alma"
# The same file again adds nothing, says when it was taken and fails; --again takes it.
cp "$dir/Test.ckp" "$dir/Kopya.ckp"
set +e
out=$(to tests import "$dir/Kopya.ckp" 2>&1); code=$?
set -e
[ "$code" = 1 ] || fail "ikinci kez alma çıkış kodu: $code"
grep -qE "^Kopya.ckp dosyası daha önce alınmıştı \([0-9]{2}\.[0-9]{2}\.[0-9]{4}, [0-9:]{8}, Test.ckp adıyla\)\. Hiçbir şey eklenmedi; yeniden almak için --again yazınız\.$" <<<"$out" \
  || fail "ikinci kez alma iletisi: $out"
[ "$(db "SELECT COUNT(*) FROM TABLETEST")" = 1 ] || fail "ikinci kez alma test ekledi"
[ "$(to tests import "$dir/Kopya.ckp" --again)" = "1 adet test eklendi" ] || fail "--again"
[ "$(db "SELECT COUNT(*) FROM TABLESORU")" = 7 ] || fail "soru sayısı: $(db "SELECT COUNT(*) FROM TABLESORU")"
[ "$(db "SELECT GROUP_CONCAT(SORUNO) FROM (SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO='2' ORDER BY VAL(TESTSIRANO))")" = "6,7" ] \
  || fail "testin soruları yeni numaralarla anılmalı"

head -c 300 "$dir/Test.ckp" >"$dir/kesik.ckp"
before=$(db "SELECT COUNT(*) FROM TABLETEST")
set +e
out=$(to tests import "$dir/kesik.ckp" 2>&1 >/dev/null); code=$?
set -e
[ "$code" != 0 ] || fail "kesik dosya kabul edildi"
grep -qF "Testler alınamadı, lütfen dosyanın düzgün olduğundan emin olunuz." <<<"$out" || fail "ileti yok: $out"
[ "$(db "SELECT COUNT(*) FROM TABLETEST")" = "$before" ] || fail "kesik dosya test ekledi"
echo "tamam"
