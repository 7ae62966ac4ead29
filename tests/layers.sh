#!/usr/bin/env bash
# The include rules that keep the layers apart, checked on the sources:
#   - the core includes nothing of the program's windows;
#   - the store knows nothing of the school or of running tests;
#   - the school and the reports do not use the run set-up's choices (what a
#     teacher last picked on the set-up screens is that screen's business);
#   - the shared framework uses no screen and nothing of the shell;
#   - a screen includes no shell file and no other area's screens.
# Prints every breach and fails when there is one.
set -uo pipefail
src="${1:?the src folder}"
cd "$src" || exit 2
breaches=0
breach() {
  echo "$1"
  breaches=$((breaches + 1))
}
includes() {  # files under $1 whose includes match $2
  grep -rnE "^#include \"($2)" "$1" --include='*.h' --include='*.cpp' || true
}

while read -r line; do [ -n "$line" ] && breach "çekirdek arayüzü içeriyor: $line"; done \
  < <(includes core 'framework/|screens/|shell/')
while read -r line; do [ -n "$line" ] && breach "depo okulu ya da uygulamayı içeriyor: $line"; done \
  < <(includes core/store 'school/|delivery/')
while read -r line; do [ -n "$line" ] && breach "kurulum seçimleri kullanılıyor: $line"; done \
  < <(grep -rnE 'delivery::(RunSetupChoices|LessonSetup|RunSetup)\b|delivery/(RunSetup|LessonSetup)\.h' \
        core/school core/reports || true)
while read -r line; do [ -n "$line" ] && breach "framework ekran ya da kabuk içeriyor: $line"; done \
  < <(includes app/framework 'screens/|shell/')
while read -r line; do [ -n "$line" ] && breach "ekran kabuk dosyası içeriyor: $line"; done \
  < <(includes app/screens 'shell/')
for area in app/screens/*/; do
  name=$(basename "$area")
  while read -r line; do
    [ -n "$line" ] && breach "ekran başka bir alanın ekranını içeriyor: $line"
  done < <(includes "$area" "screens/" | grep -v "\"screens/$name/")
done

echo "$breaches ihlal"
[ "$breaches" -eq 0 ]
