#!/usr/bin/env bash
# Installs a build into a scratch folder and checks the result as a user's system would see
# it: programs, desktop entry, icons, a manual that a PDF reader opens, with its Chinese
# text and its fonts embedded, the manual pages and the AppStream entry; then builds the
# Debian package and has lintian check it.
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

# Outputs are taken whole before they are searched: grep -q stops reading at the first
# match, and a writer still writing then dies of SIGPIPE, which pipefail reports.
help=$("$dest/usr/bin/tavrel-cli" --help) || fail "tavrel-cli --help"
grep -q "tavrel-cli" <<< "$help" || fail "tavrel-cli --help"
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

# The desktop program answers --version in a terminal without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dest/usr/bin/tavrel" --version) \
  || fail "tavrel --version needs a display"
grep -qx "tavrel [0-9.]*" <<< "$version" || fail "tavrel --version needs a display"

# Each manual page lists every option the program's help names, in its own language, and
# groff formats it without a complaint.
man_page() {
  MANWIDTH=100 man --warnings -E UTF-8 -l "$dest/usr/share/man/$1" 2> "$dest/groff.log"
  [ ! -s "$dest/groff.log" ] || fail "groff on $1: $(cat "$dest/groff.log")"
}
en=$(man_page man1/tavrel-cli.1.gz)
zh=$(man_page zh_CN/man1/tavrel-cli.1.gz)
grep -q -- "--version" <<< "$(man_page man1/tavrel.1.gz)" || fail "tavrel(1) lacks --version"
grep -q -- "--version" <<< "$(man_page zh_CN/man1/tavrel.1.gz)" || fail "zh_CN tavrel(1) lacks --version"
for option in $(grep -oE '^ +--?[A-Za-z][-A-Za-z]*' <<< "$help"); do
  grep -q -- "$option" <<< "$en" || fail "tavrel-cli(1) lacks $option"
  grep -q -- "$option" <<< "$zh" || fail "zh_CN tavrel-cli(1) lacks $option"
done
grep -q "intensity unit" <<< "$en" && ! grep -q "降雨强度单位" <<< "$en" || fail "tavrel-cli(1) is not English"
grep -q "降雨强度单位" <<< "$zh" && ! grep -q "intensity unit" <<< "$zh" || fail "zh_CN tavrel-cli(1) is not Chinese"

appstreamcli validate --no-net "$dest"/usr/share/metainfo/*.metainfo.xml > /dev/null || fail "AppStream refuses the metainfo"

# The Debian package itself, as the distribution's checker sees it: no error, no warning.
# (Not for the sanitizer build, whose package nobody installs.)
if [ "${3:-}" = package ]; then
  # libarchive converts file names through the locale's character set: in the POSIX locale
  # of a bare machine it cannot read "软件说明书 Tavrel.pdf" at all.
  LC_ALL=C.UTF-8 cpack --config "$build/CPackConfig.cmake" -G DEB -B "$dest/deb" > /dev/null || fail "cpack -G DEB"
  lintian --fail-on error,warning --tag-display-limit 0 "$dest"/deb/tavrel_*.deb 2> /dev/null || fail "lintian"
fi
echo "installed layout, desktop entry, manual, manual pages, AppStream entry and package are fine ($pages pages)"
