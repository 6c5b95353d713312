#!/usr/bin/env bash
# Installs a build into a scratch folder and checks the result as a user's system would see
# it: programs, desktop entry, icons and a manual that a PDF reader opens, with its Chinese
# text and its fonts embedded.
set -euo pipefail
build="$1"
dest="$2"
rm -rf "$dest"
cmake --install "$build" --prefix "$dest/usr" > /dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in usr/bin/tavrel usr/bin/tavrel-cli usr/share/applications/tavrel.desktop \
         usr/share/icons/hicolor/scalable/apps/tavrel.svg usr/share/icons/hicolor/48x48/apps/tavrel.png \
         "usr/share/doc/tavrel/软件说明书 Tavrel.pdf"; do
  [ -s "$dest/$f" ] || fail "$f is not installed"
done

desktop-file-validate "$dest/usr/share/applications/tavrel.desktop" || fail "desktop entry refused"

"$dest/usr/bin/tavrel-cli" --help | grep -q "tavrel-cli" || fail "tavrel-cli --help"
# Pictures are drawn by the companion program in libexec, which tavrel-cli must find there.
picture="$dest/chart.png"
QT_QPA_PLATFORM=offscreen "$dest/usr/bin/tavrel-cli" --T 60 -o "$picture" || fail "tavrel-cli -o chart.png"
[ "$(head -c 4 "$picture" | od -An -c | tr -d ' ')" = "211PNG" ] || fail "tavrel-cli wrote no PNG picture"

manual="$dest/usr/share/doc/tavrel/软件说明书 Tavrel.pdf"
pages=$(pdfinfo "$manual" | awk '/^Pages:/ {print $2}')
[ "${pages:-0}" -ge 10 ] || fail "the manual has ${pages:-no} pages"
text=$(pdftotext -enc UTF-8 "$manual" -)
for phrase in "芝加哥雨型" "暴雨强度公式" "峰值比例" "SWMM" "tavrel-cli" "options.ini" "已经是最新版本了"; do
  grep -q "$phrase" <<< "$text" || fail "the manual lacks \"$phrase\""
done
# Every font is embedded, so the manual reads the same on a machine without Chinese fonts.
fonts=$(pdffonts "$manual" | tail -n +3)
[ -n "$fonts" ] || fail "the manual lists no fonts"
if awk '{ if ($(NF-4) != "yes") bad=1 } END { exit !bad }' <<< "$fonts"; then
  pdffonts "$manual" >&2
  fail "a font of the manual is not embedded"
fi
echo "installed layout, desktop entry and manual are fine ($pages pages)"
