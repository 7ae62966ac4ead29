#!/usr/bin/env bash
# Builds the Debian package from this build folder, unpacks it and checks what a
# classroom computer gets from it: the files where the desktop, udev and man look
# for them, a valid desktop entry that opens every exchange file, MIME types that
# shared-mime-info compiles, valid AppStream metadata, computed dependencies, a
# command line program that starts, and lintian without errors or unexplained
# warnings. Exits 77 (skipped) where dpkg-deb is missing.
#   check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
command -v dpkg-deb >/dev/null || { echo "dpkg-deb yok: paket sınaması atlandı"; exit 77; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "HATA: $*" >&2
  failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; exit 1; }
deb="$tmp/out/derslik_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$tmp/out" >&2; echo "HATA: derslik_${version}_amd64.deb yok" >&2; exit 1; }

# --- control fields -----------------------------------------------------------
[ "$(dpkg-deb -f "$deb" Package)" = derslik ] || fail "Package alanı"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version alanı"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "Architecture alanı"
depends=$(dpkg-deb -f "$deb" Depends)
# libc6 and Qt's widgets come from dpkg-shlibdeps, the SQLite driver and the GStreamer
# plugins that play the question screen's sound and video formats are named by hand.
for dep in libc6 libqt6widgets6 libqt6sql6-sqlite libarchive13 libqrencode4 gstreamer1.0-plugins-good \
  gstreamer1.0-libav; do
  [[ ",$depends," =~ [,\ ]$dep[\ ,\(] ]] || fail "Depends içinde $dep yok: $depends"
done

# --- files and their owners -------------------------------------------------------
dpkg-deb -c "$deb" >"$tmp/contents"
if awk '$2 != "root/root"' "$tmp/contents" | grep -q .; then
  fail "sahibi root olmayan dosyalar: $(awk '$2 != "root/root" {print $6}' "$tmp/contents")"
fi
if awk '{print $6}' "$tmp/contents" | grep -v -E '^\./(usr/?.*)?$' | grep -q .; then
  fail "/usr dışında dosyalar: $(awk '{print $6}' "$tmp/contents" | grep -v -E '^\./(usr/?.*)?$')"
fi
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
for f in usr/share/applications/derslik.desktop \
  usr/share/icons/hicolor/scalable/apps/derslik.svg \
  usr/share/metainfo/org.derslik.Derslik.metainfo.xml \
  usr/share/mime/packages/derslik.xml \
  usr/lib/udev/rules.d/60-derslik-alici.rules \
  usr/share/man/man1/derslik.1.gz usr/share/man/man1/derslik-cli.1.gz \
  usr/share/doc/derslik/copyright usr/share/doc/derslik/changelog.gz; do
  [ -f "$root/$f" ] || fail "$f yok"
done
for f in derslik derslik-cli; do
  [ -x "$root/usr/bin/$f" ] || fail "/usr/bin/$f çalıştırılabilir değil"
done
file -b "$root/usr/bin/derslik" | grep -q 'not stripped' && fail "derslik ayıklanmamış (strip)"

# --- the receiver rule: uaccess only works from a rule sorting before 73-seat-late
rule="$root/usr/lib/udev/rules.d/60-derslik-alici.rules"
grep -q 'ATTRS{idVendor}=="2268", ATTRS{idProduct}=="07d1".*TAG+="uaccess"' "$rule" ||
  fail "udev kuralı alıcıya uaccess vermiyor"
for r in "$root"/usr/lib/udev/rules.d/*.rules; do
  [[ "$(basename "$r")" < 73-seat-late.rules ]] || fail "$(basename "$r") 73-seat-late'ten sonra okunur"
done

# --- desktop entry and MIME types: a double-clicked file starts Derslik with it --
desktop="$share/applications/derslik.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -q '^Exec=derslik %[fFuU]$' "$desktop" || fail "Exec dosyayı derslik'e vermiyor"
grep -q '^Categories=.*Education;' "$desktop" || fail "Categories Education değil"
mkdir -p "$tmp/mime/packages"
cp "$share/mime/packages/derslik.xml" "$tmp/mime/packages/"
XDG_DATA_DIRS="$tmp" update-mime-database "$tmp/mime" 2>"$tmp/mime.log" || fail "update-mime-database"
[ -s "$tmp/mime.log" ] && fail "MIME XML uyarıları: $(cat "$tmp/mime.log")"
handled=";$(sed -n 's/^MimeType=//p' "$desktop")"
for ext in cks ckp ckt ckk; do
  type=$(awk -F: -v g="*.$ext" '$3 == g {print $2}' "$tmp/mime/globs2")
  if [ -z "$type" ]; then
    fail ".$ext için MIME türü yok"
  elif [[ "$handled" != *";$type;"* ]]; then
    fail ".$ext ($type) masaüstü girdisinin MimeType satırında yok"
  fi
done

# --- metadata, documentation -----------------------------------------------------------
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/org.derslik.Derslik.metainfo.xml" ||
    fail "appstreamcli validate"
fi
head -1 "$share/doc/derslik/copyright" |
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright Debian biçiminde değil"
gzip -dc "$share/doc/derslik/changelog.gz" | head -1 | grep -q "^derslik ($version) " ||
  fail "changelog'un son girdisi $version değil"
grep -q "<release version=\"$version\"" "$share/metainfo/org.derslik.Derslik.metainfo.xml" ||
  fail "AppStream bilgisinde $version sürümü yok"

# --- the unpacked command line program runs -------------------------------------------
mkdir -p "$tmp/home"
if out=$(HOME="$tmp/home" "$root/usr/bin/derslik-cli" version 2>&1); then
  [[ "$out" == "Derslik ${version%.*}."* ]] || fail "derslik-cli version: $out"
else
  fail "derslik-cli version çalışmadı: $out"
fi

# --- lintian ---------------------------------------------------------------------------
# Kept warnings, each with its reason, are listed in lintian-kept.txt.
if command -v lintian >/dev/null; then
  lintian --no-cfg --display-level '>=warning' "$deb" >"$tmp/lintian" 2>&1 || true
  cat "$tmp/lintian"
  kept=$(awk '!/^#/ && NF {print $1}' "$(dirname "$0")/lintian-kept.txt")
  while read -r severity _ tag _; do
    [ -n "$tag" ] || continue
    case "$severity" in
      E:) fail "lintian hatası: $tag" ;;
      W:) grep -qx -- "$tag" <<<"$kept" || fail "lintian uyarısı: $tag" ;;
    esac
  done <"$tmp/lintian"
fi

[ "$failures" -eq 0 ] || exit 1
echo "derslik_${version}_amd64.deb: $(wc -l <"$tmp/contents") girdi, hepsi yerinde"
