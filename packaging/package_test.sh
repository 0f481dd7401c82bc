#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a temporary root and
# checks what a school would get: the files in their places, the installed qmtool
# (version, the shipped sample bank, a user's directory seeded on its first start),
# the menu entry, the dependencies and lintian's verdict (no errors).
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack"
fi
deb=$(find "$work/out" -maxdepth 1 -name '*.deb')
[[ $(basename "$deb") == "quellmark_${version}_$(dpkg --print-architecture).deb" ]] || fail "package name: $deb"
root=$work/root
dpkg-deb -x "$deb" "$root"

for f in usr/bin/quellmark usr/bin/qmtool usr/libexec/quellmark/quellmark-metafile \
         usr/share/quellmark/qm.qm usr/share/quellmark/jk.jk usr/share/quellmark/sample.tik \
         usr/share/quellmark/tiku.psw usr/share/applications/quellmark.desktop \
         usr/share/metainfo/quellmark.metainfo.xml usr/share/icons/hicolor/scalable/apps/quellmark.svg \
         usr/share/icons/hicolor/48x48/apps/quellmark.png usr/share/icons/hicolor/256x256/apps/quellmark.png \
         usr/share/doc/quellmark/copyright; do
  [[ -f "$root/$f" ]] || fail "missing /$f"
done

# The installed programs find their files in usr/share/quellmark of the same root, and keep
# the user's data in $XDG_DATA_HOME/Quellmark.
export XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
qmtool=$root/usr/bin/qmtool
[[ $("$qmtool" --version) == "qmtool $version" ]] || fail "qmtool --version: $("$qmtool" --version)"
dump=$("$qmtool" bank-dump "$root/usr/share/quellmark/sample.tik")
grep -q '题库样本－生物' <<<"$dump" || fail "bank-dump of the sample: $dump"
for f in qm.qm jk.jk sample.tik tiku.psw; do
  cmp -s "$root/usr/share/quellmark/$f" "$XDG_DATA_HOME/Quellmark/$f" || fail "user's directory lacks $f"
done

# The installed qmtool prints a formula (a WMF) as a drawing, not as its placeholder image.
wmf=$(od -An -v -tx1 "$(dirname "$0")/../tests/fixtures/metafiles/formula_libreoffice.wmf" | tr -d ' \n')
printf '{\\rtf1 {\\pict\\wmetafile8\\picwgoal2004\\pichgoal647 %s}}' "$wmf" >"$work/formula.rtf"
QUELLMARK_METAFILE_CONVERTER="" "$qmtool" rtf2pdf "$work/formula.rtf" "$work/formula.pdf" 2>/dev/null \
  || fail "qmtool rtf2pdf"
images=$(pdfimages -list "$work/formula.pdf" | tail -n +3 | wc -l)
[[ $images -eq 0 ]] || fail "the formula printed as $images image(s)"

desktop-file-validate "$root/usr/share/applications/quellmark.desktop" || fail "desktop-file-validate"
grep -q '^Name\[zh_CN\]=' "$root/usr/share/applications/quellmark.desktop" || fail "no Chinese name"

depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6svg6 libsqlite3-0 libwmf-0.2-7 libemf2svg1 fonts-noto-cjk fonts-urw-base35; do
  grep -q "\b$p\b" <<<"$depends" || fail "Depends lacks $p: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
for p in libreoffice-writer poppler-utils; do
  grep -q "\b$p\b" <<<"$recommends" || fail "Recommends lacks $p: $recommends"
done

if ! lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log" >&2
  fail "lintian"
fi
echo "ok: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
