#!/usr/bin/env bash
# Writes every file format for a fixed set of storms and settings with a build's tavrel-cli,
# so that two builds can be compared file by file (tools/compare-outputs.sh):
#   bash tools/write-outputs.sh BUILD_DIR OUT_DIR
# TAVREL_CLI, when set, is the command that runs tavrel-cli instead (the Windows build under
# Wine: "scripts/wine-run.sh .../tavrel-cli.exe").
# The sets: i and q forms, lg and ln, minutes and hours:minutes, mm/min and mm/h, steps 1
# and 5, a day-long storm, a family of return periods and the calculation book.
set -euo pipefail
build="$1"
out="$2"
read -r -a cli <<< "${TAVREL_CLI:-$build/src/tavrel-cli}"
rm -rf "$out"
mkdir -p "$out/config"
# The settings file stays out of the user's own; only the options below apply.
export XDG_CONFIG_HOME="$out/config" HOME="$out/config" QT_QPA_PLATFORM=offscreen

model() {   # name F_type a1_167 a1 c b n LG_LN P T r step
  printf 'SIGN=访问www.orvanta.example获取更多实用工具~\r\nF_type=%s\r\na1_167=%s\r\na1=%s\r\nc=%s\r\nb=%s\r\nn=%s\r\nLG_LN=%s\r\n重现期=%s\r\n降雨历时=%s\r\n峰值比例=%s\r\n计算步长=%s\r\n' \
    "${@:2}" | iconv -f UTF-8 -t GBK > "$out/$1.model"
}
model i-lg 0 1599.68333333333 9.5981 0.846 7 0.656 0 2 120 0.4 1
model q-ln 1 1602.8827 9.5981 0.846 7 0.656 1 5 180 0.35 5
model day 0 1599.68333333333 9.5981 0.846 7 0.656 0 10 1440 0.5 5

run() {   # set-name model-file cli-options...
  local name="$1" file="$2"
  shift 2
  mkdir -p "$out/$name"
  "${cli[@]}" "$out/$file.model" "$@" -o "$out/$name/storm.txt" -o "$out/$name/storm.csv" -o "$out/$name/storm.dat" \
    -o "$out/$name/storm.docx" -o "$out/$name/storm.xlsx" -o "$out/$name/storm.png" -o "$out/$name/storm.jpg" \
    -o "$out/$name/storm.bmp" --book "$out/$name/book.docx" > "$out/$name/stdout.txt"
  "${cli[@]}" "$out/$file.model" "$@" > "$out/$name/table.txt"
  "${cli[@]}" "$out/$file.model" "$@" --check > "$out/$name/check.txt"
}
run i-lg-min-mmmin i-lg --time min --unit mm/min --precision 4
run i-lg-hm-mmh i-lg --time hm --unit mm/h --precision 3
run q-ln-min-mmh q-ln --time min --unit mm/h --precision 4 --calc-by-show
run q-ln-hm-mmmin q-ln --time hm --unit mm/min --precision 2
run day-hm day --time hm --unit mm/h --precision 4
mkdir -p "$out/family"
"${cli[@]}" "$out/i-lg.model" --P 1,2,3,5,10,20,50,100 --step 5 -o "$out/family/P{P}.dat" -o "$out/family/P{P}.csv" \
  -o "$out/family/storms.inp" > "$out/family/summary.txt"
