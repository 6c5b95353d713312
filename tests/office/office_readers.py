#!/usr/bin/env python3
"""The Word table and the Excel workbook, read back by other programs' readers.

tavrel-cli prints the table it computes; the same run with -o NAME.docx / NAME.xlsx writes
the Office files. python-docx and openpyxl (Debian's python3-docx, python3-openpyxl) must
find exactly that table in them: the Word table's rows and cells, and the workbook's data
sheet with its chart, whose ranges and cached points cover every row.

    office_readers.py PATH/TO/tavrel-cli
"""
import os
import subprocess
import sys
import tempfile
import zipfile

import docx
import openpyxl

CLI = sys.argv[1]
# duration, time format, unit, expected rows
CASES = [
    ("0", "min", "mm/min", 1),
    ("120", "hm", "mm/h", 121),
    ("120", "min", "mm/min", 121),
    ("1440", "min", "mm/h", 1441),
    ("1440", "hm", "mm/min", 1441),
]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def printed_table(args, env):
    out = subprocess.run([CLI] + args, env=env, capture_output=True, text=True, check=True).stdout
    lines = out.splitlines()[:-2]   # the total and the average follow the table
    return [line.split(",") for line in lines]


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
    for k, (got, want) in enumerate(zip(rows, table)):
        if not check(got == want, f"{case}: Word row {k} is {got}, printed {want}"):
            break


def check_excel(path, table, case):
    n = len(table) - 1
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == ["曲线图", "雨型数据1", "雨型数据2"], f"{case}: sheets {book.sheetnames}")
    check(book.active.title == "曲线图", f"{case}: the chart sheet opens first")
    sheet = book["雨型数据1"]
    check(sheet.max_row == n + 1, f"{case}: data sheet ends at row {sheet.max_row}, expected {n + 1}")
    check([c.value for c in sheet[1]] == table[0], f"{case}: headings {[c.value for c in sheet[1]]}")
    for k in range(1, n + 1):
        a, b, c = (cell.value for cell in sheet[k + 1])
        want = table[k]
        ok = isinstance(a, str) and a == want[0] and isinstance(b, (int, float)) and isinstance(c, (int, float)) \
            and b == float(want[1]) and c == float(want[2])
        if not check(ok, f"{case}: sheet row {k + 1} is {(a, b, c)}, printed {want}"):
            break

    charts = book["曲线图"]._charts
    if not check(len(charts) == 1, f"{case}: one chart"):
        return
    found = series_of(charts[0])
    check(sorted(kind for kind, _ in found) == ["BarChart", "LineChart"], f"{case}: series {found}")
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


def main():
    with tempfile.TemporaryDirectory() as home:
        temp = os.path.join(home, "tmp")
        os.mkdir(temp)
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_RUNTIME_DIR=runtime,
                   TMPDIR=temp)
        for duration, time_format, unit, rows in CASES:
            case = f"T={duration} --time {time_format} --unit {unit}"
            args = ["--T", duration, "--time", time_format, "--unit", unit]
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
            check_excel(excel, table, case)
            check(sorted(os.listdir(out)) == ["chart.xlsx", "table.docx"], f"{case}: left beside: {os.listdir(out)}")
            check(os.listdir(temp) == [], f"{case}: left in the temporary folder: {os.listdir(temp)}")
    for failure in failures:
        print("FAILED:", failure)
    print(f"{len(CASES)} storms checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
