#!/usr/bin/env python3
"""The Excel workbook written with openpyxl instead, for comparing speed with tavrel-cli.

Reads the table from a CSV file that tavrel-cli wrote (GBK, header line first) and writes
the same workbook content: the chart sheet, the data sheet "雨型数据1" with the headings
and one row per table row (time label as text, the two values as numbers), the empty
"雨型数据2", and the combined chart (intensity line with markers on the left axis with
grid lines, cumulative-rainfall columns hanging from a reversed right axis, legend at the
bottom, gaps for empty cells).

    tavrel-cli --T 1440 --time hm --unit mm/h -o day.csv
    hyperfine 'tavrel-cli --T 1440 --time hm --unit mm/h -o a.xlsx' \\
              '/usr/bin/python3 bench/openpyxl_workbook.py day.csv b.xlsx'
"""
import sys

from openpyxl import Workbook
from openpyxl.chart import BarChart, LineChart, Reference
from openpyxl.styles import Font, PatternFill


def main(source, target):
    with open(source, encoding="gbk") as f:
        lines = f.read().splitlines()
    heading = lines[0].split(",")
    rows = [line.split(",") for line in lines[1:] if line]
    n = len(rows)

    book = Workbook()
    guide = book.active
    guide.title = "曲线图"
    data = book.create_sheet("雨型数据1")
    book.create_sheet("雨型数据2")

    data.append(heading)
    for time, intensity, total in rows:
        data.append([time, float(intensity), float(total)])
    data.column_dimensions["A"].width = 8.875
    data.column_dimensions["B"].width = 17
    data.column_dimensions["C"].width = 11.125

    guide.column_dimensions["S"].width = 79.375
    guide["S3"] = "如何添加多个曲线"
    guide["S3"].font = Font(size=14, color="FFFF0000")
    guide["S3"].fill = PatternFill("solid", fgColor="FFFFC000")

    line = LineChart()
    line.add_data(Reference(data, min_col=2, min_row=1, max_row=n + 1), titles_from_data=True)
    line.set_categories(Reference(data, min_col=1, min_row=2, max_row=n + 1))
    line.series[0].smooth = False
    line.series[0].marker.symbol = "circle"
    line.x_axis.title = "降雨历时" + heading[0][2:]
    line.y_axis.title = heading[1]
    line.legend.position = "b"

    bars = BarChart()
    bars.type = "col"
    bars.grouping = "clustered"
    bars.gapWidth = 150
    bars.add_data(Reference(data, min_col=3, min_row=1, max_row=n + 1), titles_from_data=True)
    bars.y_axis.axId = 200
    bars.y_axis.title = heading[2]
    bars.y_axis.scaling.orientation = "maxMin"
    bars.y_axis.crosses = "max"
    bars.y_axis.majorGridlines = None

    line += bars
    line.display_blanks = "gap"
    line.width = 27
    line.height = 16
    guide.add_chart(line, "A3")
    book.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
