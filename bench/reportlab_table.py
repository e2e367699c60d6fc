#!/usr/bin/python3
"""The flowing-table workload drawn by ReportLab's Platypus, for vellix-bench:
the same rows as its "table" workload (an item label, a description that
wraps to one to four lines, quantity, unit price and amount), in the same
column widths on A4, with the header row repeated on every page.

Usage: reportlab_table.py ROWS OUTPUT.pdf
Prints one line: "rows pages seconds" (the time to build the document).
"""
import sys
import time

from reportlab.lib import colors
from reportlab.lib.pagesizes import A4
from reportlab.lib.styles import ParagraphStyle
from reportlab.lib.units import mm
from reportlab.platypus import Paragraph, SimpleDocTemplate, Table, TableStyle

PARTS = ["Layout of the monthly report, first draft.",
         "Two rounds of corrections and colour proofs.",
         "Travel to the client's office, reduced rate.",
         "Archive copy on durable media for ten years."]


def money(cents):
    return "{:,}.{:02d}".format(cents // 100, cents % 100)


def row(number):
    description = " ".join(PARTS[: (number * 7 + number // 3) % 4 + 1])
    quantity = 1 + number % 5
    unit = 1250 + (number * 3797) % 40000
    return ["Row %d" % number, description, str(quantity), money(unit), money(quantity * unit)]


def main():
    rows, output = int(sys.argv[1]), sys.argv[2]
    start = time.perf_counter()
    style = ParagraphStyle("cell", fontName="Helvetica", fontSize=10, leading=11.5)
    data = [["Item", "Description", "Qty", "Unit price", "Amount"]]
    for number in range(1, rows + 1):
        cells = row(number)
        cells[1] = Paragraph(cells[1], style)
        data.append(cells)
    table = Table(data, colWidths=[20 * mm, 85 * mm, 15 * mm, 25 * mm, 25 * mm], repeatRows=1)
    table.setStyle(TableStyle([
        ("FONT", (0, 0), (-1, -1), "Helvetica", 10),
        ("FONT", (0, 0), (-1, 0), "Helvetica-Bold", 10),
        ("BACKGROUND", (0, 0), (-1, 0), colors.Color(210 / 255, 220 / 255, 235 / 255)),
        ("ALIGN", (2, 0), (-1, -1), "RIGHT"),
        ("VALIGN", (0, 0), (-1, -1), "TOP"),
        ("GRID", (0, 0), (-1, -1), 0.28, colors.grey),
    ]))
    document = SimpleDocTemplate(output, pagesize=A4, leftMargin=20 * mm, rightMargin=20 * mm,
                                 topMargin=20 * mm, bottomMargin=27 * mm)
    document.build([table])
    elapsed = time.perf_counter() - start
    print(rows, document.page, "%.3f" % elapsed)


if __name__ == "__main__":
    main()
