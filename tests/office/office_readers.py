#!/usr/bin/env python3
"""The Word table, the Excel workbook and the calculation book, read back by other
programs' readers.

tavrel-cli prints the table it computes; the same run with -o NAME.docx / NAME.xlsx writes
the Office files. python-docx and openpyxl (Debian's python3-docx, python3-openpyxl) must
find exactly that table in them: the Word table's rows and cells, and the workbook's data
sheet with its chart, whose ranges and cached points cover every row. The book of --book
must hold the storm's parameters, that table, the totals the tool prints, its formulas
as equations and the chart picture at the size of its frame. The compilation report of
--record ... --report must hold the maxima, the i-t-P table, the formula, its accuracy and r
that the same run prints, twelve pictures, and the storm that the written rain model gives.

    office_readers.py PATH/TO/tavrel-cli
"""
import datetime
import os
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

import docx
import openpyxl

CLI = sys.argv[1]
# duration, time format, unit, decimals, expected rows
CASES = [
    ("0", "min", "mm/min", "4", 1),
    ("120", "hm", "mm/h", "2", 121),
    ("120", "min", "mm/min", "4", 121),
    ("1440", "min", "mm/h", "4", 1441),
    ("1440", "hm", "mm/min", "0", 1441),
]
# the spreadsheet's number format that shows so many decimals
NUMBER_FORMATS = {"0": "0", "2": "0.00", "4": "0.0000"}
CHART = "{http://schemas.openxmlformats.org/drawingml/2006/chart}"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def printed_table(args, env):
    out = subprocess.run([CLI] + args, env=env, capture_output=True, text=True, check=True).stdout
    lines = out.splitlines()[:-2]   # the total and the average follow the table
    return [line.split(",") for line in lines]


def written_now(created, modified, what):
    now = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None)
    check(created is not None and abs(created - now) < datetime.timedelta(minutes=10) and modified == created,
          f"{what}: created {created}, modified {modified}, now {now}")


def series_of(chart):
    charts = getattr(chart, "_charts", None) or [chart]
    return [(type(c).__name__, s) for c in charts for s in c.series]


def check_word(path, table, case):
    document = docx.Document(path)
    check(len(document.tables) == 1, f"{case}: one table")
    grid = document.tables[0]
    # Row by row (row.cells) builds the whole grid each time; take it once and cut it up.
    columns = len(grid.columns)
    cells = [cell.text for cell in grid._cells]
    rows = [cells[k:k + columns] for k in range(0, len(cells), columns)]
    check(columns == 3 and len(grid.rows) == len(rows), f"{case}: {columns} columns, {len(grid.rows)} rows")
    check(len(rows) == len(table), f"{case}: {len(rows)} table rows, printed {len(table)}")
    check(grid.rows[0]._tr.xpath("./w:trPr/w:tblHeader"), f"{case}: the heading does not repeat on each page")
    written_now(document.core_properties.created, document.core_properties.modified, case)
    for k, (got, want) in enumerate(zip(rows, table)):
        if not check(got == want, f"{case}: Word row {k} is {got}, printed {want}"):
            break


def check_excel(path, table, case, number_format):
    n = len(table) - 1
    book = openpyxl.load_workbook(path)
    written_now(book.properties.created, book.properties.modified, case)
    check(book.sheetnames == ["曲线图", "雨型数据1", "雨型数据2"], f"{case}: sheets {book.sheetnames}")
    check(book.active.title == "曲线图", f"{case}: the chart sheet opens first")
    sheet = book["雨型数据1"]
    check(sheet.max_row == n + 1, f"{case}: data sheet ends at row {sheet.max_row}, expected {n + 1}")
    check([c.value for c in sheet[1]] == table[0], f"{case}: headings {[c.value for c in sheet[1]]}")
    for k in range(1, n + 1):
        _, cell_b, cell_c = sheet[k + 1]
        a, b, c = (cell.value for cell in sheet[k + 1])
        want = table[k]
        ok = isinstance(a, str) and a == want[0] and isinstance(b, (int, float)) and isinstance(c, (int, float)) \
            and b == float(want[1]) and c == float(want[2]) \
            and cell_b.number_format == cell_c.number_format == number_format
        if not check(ok, f"{case}: sheet row {k + 1} is {(a, b, c)} as {cell_b.number_format}, printed {want}"):
            break

    charts = book["曲线图"]._charts
    if not check(len(charts) == 1, f"{case}: one chart"):
        return
    found = series_of(charts[0])
    # The later group is drawn in front: the line over the columns.
    check([kind for kind, _ in found] == ["BarChart", "LineChart"], f"{case}: series {found}")
    last = n + 1
    for kind, series in found:
        ref = series.val.numRef
        column = "B" if kind == "LineChart" else "C"
        check(ref.f == f"雨型数据1!${column}$2:${column}${last}", f"{case}: {kind} values {ref.f}")
        cache = ref.numCache
        check(cache is not None and cache.ptCount == n, f"{case}: {kind} caches {cache.ptCount if cache else None} points")
        if cache is not None:
            values = [p.v for p in cache.pt]
            wanted = [float(row[1 if column == "B" else 2]) for row in table[1:]]
            check(values == wanted, f"{case}: {kind} cached values differ from the table")
        if kind == "LineChart":
            cat = series.cat.strRef
            check(cat.f == f"雨型数据1!$A$2:$A${last}", f"{case}: categories {cat.f}")
            check([p.v for p in cat.strCache.pt] == [row[0] for row in table[1:]], f"{case}: cached time labels")
            name = series.tx.strRef.strCache.pt[0].v
            check(name == table[0][1], f"{case}: line series named {name}, heading {table[0][1]}")

    with zipfile.ZipFile(path) as package:
        strings = package.read("xl/sharedStrings.xml").decode("utf-8")
        items = strings.count("<si>")
        check(items == n + 9, f"{case}: {items} shared strings")
        check(f'count="{items}" uniqueCount="{items}"' in strings, f"{case}: shared-string counts")
        # The schema allows a number cache's format code only as its first child; anywhere
        # else Excel refuses the whole package.
        for cache in ET.fromstring(package.read("xl/charts/chart1.xml")).iter(CHART + "numCache"):
            tags = [child.tag.removeprefix(CHART) for child in cache]
            check(tags.count("formatCode") == 1 and tags[0] == "formatCode" and cache[0].text == number_format,
                  f"{case}: number cache {tags[:3]}, format {cache[0].text}")


def png_size(data):
    # width and height of the IHDR chunk, big-endian, right after the signature
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")


# The calculation book: --P, --step, time format, unit
BOOKS = [("2", "1", "min", "mm/min"), ("5", "5", "hm", "mm/h")]
# 14.64 cm at 144 pixels per inch: trunc(144 * 14.64 / 2.54) = 829
DENSE_SCREEN = '{"screens": [{"name": "dense", "x": 0, "y": 0, "width": 1920, "height": 1080, ' \
               '"logicalDpi": 144, "logicalBaseDpi": 96, "dpr": 1}]}'


def check_book(env, home, temp):
    out = os.path.join(home, "books")
    os.makedirs(out, exist_ok=True)
    for period, step, time_format, unit in BOOKS:
        case = f"book P={period} step {step} --time {time_format} --unit {unit}"
        args = ["--P", period, "--step", step, "--time", time_format, "--unit", unit]
        lines = subprocess.run([CLI] + args, env=env, capture_output=True, text=True, check=True).stdout.splitlines()
        table = [line.split(",") for line in lines[:-2]]
        total = lines[-2].removeprefix("降雨总量H=").removesuffix("mm")
        average = lines[-1].removeprefix("平均雨强i=").removesuffix(unit)
        book = os.path.join(out, "book.docx")
        subprocess.run([CLI] + args + ["--book", book], env=env, check=True)

        document = docx.Document(book)
        texts = [p.text for p in document.paragraphs]
        for line in ["参数：A1=9.5981  c=0.846  b=7  n=0.656", f"设计重现期：P={period}年", "降雨历时：t=120min",
                     "峰值比例：r=0.4", f"计算步长：s={step}min"]:
            check(line in texts, f"{case}: no line {line!r}")
        found = [t for t in texts if t.startswith("累计降雨总量：")]
        check(len(found) == 1 and float(found[0][7:-2]) == float(total), f"{case}: total {found}, window {total}")
        found = [t for t in texts if t.startswith("平均降雨强度：")]
        check(len(found) == 1 and found[0].endswith(unit) and float(found[0][7:-len(unit)]) == float(average),
              f"{case}: average {found}, window {average}{unit}")
        check(len(document.tables) == 1, f"{case}: {len(document.tables)} tables")
        rows = [[cell.text for cell in row.cells] for row in document.tables[0].rows]
        check(rows == table, f"{case}: the table differs from the window's ({len(rows)} rows, {len(table)} printed)")

        # Eight formulas as the word processor's own equations, seven of them numbered.
        math = "{http://schemas.openxmlformats.org/officeDocument/2006/math}"
        numbered = [p for p in document.paragraphs if p.text.endswith("）") and "（公式" in p.text]
        check(len(numbered) == 7 and all(p._p.findall(f".//{math}oMath") for p in numbered),
              f"{case}: {len(numbered)} numbered formula lines")
        check(len(document.element.body.findall(f".//{math}oMathPara")) == 1, f"{case}: the intensity formula")
        with zipfile.ZipFile(book) as package:
            size = png_size(package.read("word/media/image9.png"))
        check(size == (553, 400), f"{case}: chart picture {size}")
        check(os.listdir(out) == ["book.docx"], f"{case}: left beside: {os.listdir(out)}")
        check(os.listdir(temp) == [], f"{case}: left in the temporary folder: {os.listdir(temp)}")

    # On a screen of 144 pixels per inch (without scaling) the picture is wider, as high.
    config = os.path.join(home, "dense.json")
    with open(config, "w") as f:
        f.write(DENSE_SCREEN)
    dense = dict(env, QT_QPA_PLATFORM=f"offscreen:configfile={config}", QT_ENABLE_HIGHDPI_SCALING="0")
    book = os.path.join(out, "dense")
    subprocess.run([CLI, "--book", book], env=dense, check=True)
    with zipfile.ZipFile(book + ".docx") as package:
        size = png_size(package.read("word/media/image9.png"))
    check(size == (829, 400), f"book at 144 pixels per inch: chart picture {size}")


def write_record(path, years):
    """A 5-minute record of rainy intervals only: three storms a year of random depths."""
    rng = random.Random(29)
    with open(path, "w", encoding="utf-8") as f:
        f.write("时间,雨量\n")
        for year in range(2001, 2001 + years):
            for start_day in sorted(rng.sample(range(120, 270), 3)):
                t = datetime.datetime(year, 1, 1) + datetime.timedelta(days=start_day, hours=rng.randint(0, 20))
                for _ in range(rng.randint(12, 40)):
                    f.write(f"{t:%Y-%m-%d %H:%M},{rng.uniform(0.1, 9):.1f}\n")
                    t += datetime.timedelta(minutes=5)


def block(lines, title):
    """The printed lines after `title` up to the next empty line."""
    start = lines.index(title) + 1
    end = lines.index("", start) if "" in lines[start:] else len(lines)
    return lines[start:end]


def table_rows(table):
    return [[cell.text for cell in row.cells] for row in table.rows]


def check_report(env, home, temp):
    out = os.path.join(home, "report")
    os.makedirs(out)
    record = os.path.join(out, "雨量站&<1>.csv")   # a name the document must escape
    write_record(record, 12)
    report, model = os.path.join(out, "编制报告.docx"), os.path.join(out, "city.txt")
    args = ["--T", "120", "--step", "5", "--time", "min", "--unit", "mm/min"]
    # The storm given is of P = 5 years; the report's is of 2 whatever the storm given.
    base = os.path.join(out, "base.txt")
    subprocess.run([CLI, "--P", "5", "-o", base], env=env, check=True)
    run = subprocess.run([CLI, base, "--record", record, "-o", model, "--report", report] + args, env=env,
                         capture_output=True, text=True)
    if not check(run.returncode == 0, f"report: {run.stderr}"):
        return
    lines = run.stdout.splitlines()
    document = docx.Document(report)
    texts = [p.text for p in document.paragraphs]
    tables = [table_rows(t) for t in document.tables]
    check(f"资料文件：{record}" in texts, "report: the record's name")

    maxima = [line.split(",") for line in block(lines, "年最大值 / annual maxima (mm)")]
    found = [t for t in tables if t and t[0][0].startswith("年份＼")]
    check(len(found) == 1 and found[0][1:] == maxima[1:], "report: the annual maxima differ from the printed ones")

    printed = [line.split(",") for line in block(lines, "暴雨强度表 / i-t-P table (mm/min)")]
    found = [t for t in tables if t and t[0][0].endswith("P(年)")]
    check(len(found) == 1 and len(found[0]) == 12 and all(len(row) == 9 for row in found[0]),
          "report: the i-t-P table is not 11 by 8")
    if found:
        want = [[row[0]] + [f"{float(v):.4f}" for v in row[1:]] for row in printed[1:]]
        check(found[0][1:] == want, "report: the i-t-P table differs from the printed one")

    parameters = {row[0]: row[2] for row in (line.split(",") for line in lines) if row[0] in ("A1", "C", "b", "n")}
    line = "参数（取4位小数）：A1 = {A1}，C = {C}，b = {b}，n = {n}".format(**parameters)
    check(line in texts, f"report: no line {line!r}")
    accuracy = [line for line in lines if line.startswith("平均")]
    check(len(accuracy) == 2 and all(a in texts for a in accuracy), f"report: accuracy {accuracy}")
    cells = [t for t in tables if t and t[0][:2] == ["历时t(min)", "重现期P(年)"]]
    check(len(cells) == 1 and len(cells[0]) == 89, "report: the fit's 88 cells")
    r = [line.split(",")[1] for line in lines if line.startswith("r,")]
    check(len(r) == 1 and any(t.startswith(f"峰值比例 r = {r[0]}，") for t in texts), f"report: r {r}")

    check(len(document.inline_shapes) == 12, f"report: {len(document.inline_shapes)} pictures")
    # The storm of P = 2 years is the one the written rain model gives.
    storm = printed_table([model, "--P", "2"] + args, env)
    check(tables[-1] == storm, "report: the storm's table differs from the rain model's")

    # From a table of maxima there is no r: the storm takes the one given.
    maxima_csv = os.path.join(out, "maxima.csv")
    subprocess.run([CLI, "--record", record, "--maxima-out", maxima_csv], env=env, check=True, capture_output=True)
    subprocess.run([CLI, "--maxima", maxima_csv, "--r", "0.35", "--report", report] + args, env=env, check=True,
                   capture_output=True)
    texts = [p.text for p in docx.Document(report).paragraphs]
    check(any("采用给定的峰值比例 r = 0.35" in t for t in texts), "report from maxima: r")
    check(sorted(os.listdir(out)) == sorted(["base.txt", "city.txt", "maxima.csv", "编制报告.docx", os.path.basename(record)]),
          f"report: left beside: {os.listdir(out)}")
    check(os.listdir(temp) == [], f"report: left in the temporary folder: {os.listdir(temp)}")


def main():
    with tempfile.TemporaryDirectory() as home:
        temp = os.path.join(home, "tmp")
        os.mkdir(temp)
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_RUNTIME_DIR=runtime,
                   TMPDIR=temp)
        for duration, time_format, unit, decimals, rows in CASES:
            case = f"T={duration} --time {time_format} --unit {unit} --precision {decimals}"
            args = ["--T", duration, "--time", time_format, "--unit", unit, "--precision", decimals]
            table = printed_table(args, env)
            if not check(len(table) == rows + 1, f"{case}: printed {len(table) - 1} rows, expected {rows}"):
                continue
            out = os.path.join(home, "out")
            os.makedirs(out, exist_ok=True)
            word = os.path.join(out, "table.docx")
            excel = os.path.join(out, "chart.xlsx")
            subprocess.run([CLI] + args + ["-o", word], env=env, check=True)
            subprocess.run([CLI] + args + ["-o", excel], env=env, check=True)
            check_word(word, table, case)
            check_excel(excel, table, case, NUMBER_FORMATS[decimals])
            check(sorted(os.listdir(out)) == ["chart.xlsx", "table.docx"], f"{case}: left beside: {os.listdir(out)}")
            check(os.listdir(temp) == [], f"{case}: left in the temporary folder: {os.listdir(temp)}")
        check_book(env, home, temp)
        check_report(env, home, temp)
        usage = subprocess.run([CLI, "--help"], env=env, capture_output=True, text=True, check=True).stdout
        check("--book FILE.docx" in usage, "--help does not name --book")
        check("--report R.docx" in usage, "--help does not name --report")
    for failure in failures:
        print("FAILED:", failure)
    print(f"{len(CASES)} storms, {len(BOOKS) + 1} calculation books and 2 compilation reports checked, "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
