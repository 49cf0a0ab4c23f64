#!/usr/bin/python3
"""Regenerates the workbooks the project ships and tests with.

    /usr/bin/python3 scripts/make_workbooks.py [--keep-sources DIR] [--no-bench]

Writes flat OpenDocument sources into a temporary folder and has LibreOffice
(soffice, headless, with a private profile) convert them to .xls, .xlsx, .ods
and .xlt. A few files that LibreOffice cannot produce as needed are built here
with zipfile or openpyxl. The cell contents are the same on every run; the
files are not byte for byte (LibreOffice stamps dates, the password protected
files get a new salt). After writing, the facts the tests rely on are checked
in the files themselves (formula results as stored, the active sheet, ...).

Produces:
  resources/Шаблон вiдомостi.xlt          the workbook template of the program
  examples/Приклад 9 клас.xls, examples/Приклад 11 клас.xlsx
  tests/fixtures/*                         the files of tst_sheetreaders and tst_import
  bench/data/class2000.{xls,xlsx,ods}      the data of bench_import

Needs: LibreOffice (soffice), python3-openpyxl; python3-uno for the password
protected fixtures (skipped with a note when it is missing).
"""

from __future__ import annotations

import argparse
import html
import random
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
from fractions import Fraction
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
sys.path.insert(0, str(Path(__file__).resolve().parent))
from fodsbook import Book, Formula, Rich, Sheet, of_range, ref, to_fods  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
FIXTURES = ROOT / "tests" / "fixtures"
EXAMPLES = ROOT / "examples"
RESOURCES = ROOT / "resources"
BENCH_DATA = ROOT / "bench" / "data"
# Both letters "i" of the name are Latin; the program looks for exactly this name.
TEMPLATE_NAME = "Шаблон в\u0069домост\u0069.xlt"

PROFILE = "file:///tmp/lo-profile-fixtures"

FILTERS = {
    "xls": "xls:MS Excel 97",
    "xlsx": "xlsx:Calc MS Excel 2007 XML",
    "ods": "ods:calc8",
    "xlt": "xlt:MS Excel 97 Vorlage/Template",
}

PASSWORD = "Пароль123"

# --------------------------------------------------------------------------
# Subjects and the class layout

SUBJECTS_9 = [
    "Українська мова", "Українська література", "Зарубіжна література",
    "Іноземна мова (англійська)", "Історія України", "Всесвітня історія",
    "Основи правознавства", "Алгебра", "Геометрія", "Біологія", "Географія",
    "Фізика", "Хімія", "Інформатика", "Трудове навчання", "Мистецтво",
    "Основи здоров'я", "Фізична культура",
]
DPA_9 = ["Українська мова", "Математика", "Історія України", "Біологія"]

SUBJECTS_11 = [
    "Українська мова", "Українська література", "Зарубіжна література",
    "Іноземна мова (англійська)", "Історія України", "Всесвітня історія",
    "Алгебра і початки аналізу", "Геометрія", "Біологія і екологія",
    "Географія", "Фізика і астрономія", "Хімія", "Інформатика", "Технології",
    "Мистецтво", "Захист Вітчизни", "Фізична культура",
]
DPA_11 = ["Українська мова", "Математика", "Історія України"]

# The benchmark class: 20 subjects of an 11th grade.
SUBJECTS_BENCH = SUBJECTS_11 + ["Астрономія", "Економіка", "Громадянська освіта"]

CAPTIONS = ["№", "Прізвище, ім'я та по батькові", "Стать (ж/ч)", "Серія", "Номер"]


class Layout:
    """Column numbers of a class sheet (A = 1)."""

    def __init__(self, subjects: list, dpa: list):
        self.subjects = subjects
        self.dpa = dpa
        self.first = 6  # F
        self.star1 = self.first + len(subjects)
        self.dpa_first = self.star1 + 1
        self.star2 = self.dpa_first + len(dpa)
        self.avg = self.star2 + 1
        self.points = self.avg + 1
        self.last_subject = self.star1 - 1


def mark_average(marks) -> object:
    """What =IF(COUNT(..)=0;"";ROUND(AVERAGE(..);1)) gives: text marks are not counted."""
    nums = [m for m in marks if isinstance(m, int) and not isinstance(m, bool)]
    if not nums:
        return ""
    x = Fraction(sum(nums), len(nums))
    r = (x * 10 + Fraction(1, 2)).__floor__()
    return int(r // 10) if r % 10 == 0 else r / 10.0


def avg_formula(row: int, lay: Layout, marks) -> Formula:
    rng = of_range(row, lay.first, lay.last_subject)
    return Formula(f'=IF(COUNT({rng})=0;"";ROUND(AVERAGE({rng});1))', mark_average(marks))


def points_from_average(avg) -> int:
    """The 200-point figure of an 11th-grade certificate (100 for 2, 200 for 12)."""
    return int(Fraction(str(avg)) * 10 + 80 + Fraction(1, 2)) if avg != "" else ""


def class_sheet(name: str, grade, lay: Layout, formula_rows: int = 0, number_rows: bool = True) -> Sheet:
    """An empty class sheet laid out like the template."""
    sh = Sheet(name)
    sh.set(1, 1, "Клас:", bold=True)
    sh.set(1, 2, grade, bold=True)
    sh.set(1, 3, "← вкажіть 9 або 11")
    sh.set(1, lay.first, "Річні оцінки", bold=True)
    sh.set(1, lay.dpa_first, "ДПА", bold=True)
    sh.wrap_rows.add(2)
    sh.set_row(2, 1, CAPTIONS, bold=True)
    sh.set_row(2, lay.first, lay.subjects, bold=True)
    sh.set(2, lay.star1, "*", bold=True)
    sh.set_row(2, lay.dpa_first, lay.dpa, bold=True)
    sh.set(2, lay.star2, "*", bold=True)
    sh.set(2, lay.avg, "Середній бал", bold=True)
    sh.set(2, lay.points, "Бали (11 кл.)", bold=True)
    sh.widths.update({1: 1.3, 2: 7.0, 3: 1.6, 4: 1.4, 5: 2.3})
    for c in range(lay.first, lay.star1):
        sh.widths[c] = 2.6
    for c in range(lay.dpa_first, lay.star2):
        sh.widths[c] = 2.6
    sh.widths[lay.star1] = 0.5
    sh.widths[lay.star2] = 0.5
    sh.widths[lay.avg] = 1.9
    sh.widths[lay.points] = 1.9
    for i in range(formula_rows):
        row = 3 + i
        if number_rows:
            sh.set(row, 1, i + 1)
        sh.set(row, lay.avg, avg_formula(row, lay, []))
    return sh


# --------------------------------------------------------------------------
# Fictional pupils

MALE = ["Андрій", "Богдан", "Василь", "Дмитро", "Денис", "Євген", "Іван", "Максим", "Микола",
        "Олег", "Остап", "Петро", "Роман", "Сергій", "Тарас", "Юрій", "Ярослав", "Назар",
        "Артем", "Владислав"]
FEMALE = ["Анна", "Вікторія", "Галина", "Дарина", "Ірина", "Катерина", "Мар'яна", "Оксана",
          "Олена", "Ольга", "Софія", "Тетяна", "Христина", "Юлія", "Ярина", "Надія", "Зоряна",
          "Соломія", "Уляна", "Людмила"]
FATHERS = [("Андрійович", "Андріївна"), ("Богданович", "Богданівна"), ("Васильович", "Василівна"),
           ("Володимирович", "Володимирівна"), ("Іванович", "Іванівна"), ("Миколайович", "Миколаївна"),
           ("Олегович", "Олегівна"), ("Петрович", "Петрівна"), ("Романович", "Романівна"),
           ("Сергійович", "Сергіївна"), ("Степанович", "Степанівна"), ("Юрійович", "Юріївна"),
           ("Ярославович", "Ярославівна"), ("Олександрович", "Олександрівна"),
           ("Віталійович", "Віталіївна")]
SURNAMES = ["Бондаренко", "Ткаченко", "Кравченко", "Шевчук", "Коваленко", "Олійник", "Мельник",
            "Савчук", "Поліщук", "Лисенко", "Руденко", "Гончаренко", "Марченко", "Мороз",
            "Павленко", "Левченко", "Харченко", "Панченко", "Кравчук", "Дем'янчук", "Солов'як",
            "Гнатюк", "Ковальчук", "Бойко", "Приходько", "Литвиненко", "Яковенко", "Климчук"]
SURNAMES_MF = [("Ковальський", "Ковальська"), ("Білецький", "Білецька"),
               ("Вишневський", "Вишневська"), ("Залізний", "Залізна")]


def make_pupils(rnd: random.Random, count: int, lay: Layout, grade: int, series: str,
                first_number: int) -> list:
    pupils = []
    for i in range(count):
        girl = rnd.random() < 0.5
        if rnd.random() < 0.15:
            surname = rnd.choice(SURNAMES_MF)[1 if girl else 0]
        else:
            surname = rnd.choice(SURNAMES)
        first = rnd.choice(FEMALE if girl else MALE)
        patr = rnd.choice(FATHERS)[1 if girl else 0]
        level = rnd.choice([5, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12])
        marks = []
        for subject in lay.subjects:
            m = max(1, min(12, level + rnd.choice([-2, -1, -1, 0, 0, 0, 1, 1, 2])))
            if subject == "Фізична культура" and rnd.random() < 0.12:
                m = "зв"
            elif subject in ("Мистецтво", "Основи здоров'я") and rnd.random() < 0.1:
                m = "зар"
            marks.append(m)
        dpa = [max(1, min(12, level + rnd.choice([-2, -1, 0, 0, 1]))) for _ in lay.dpa]
        pupils.append({
            "name": f"{surname} {first} {patr}",
            "gender": "ж" if girl else "ч",
            "series": series,
            "number": first_number + i * 7 + rnd.randrange(7),
            "marks": marks,
            "dpa": dpa,
        })
    pupils.sort(key=lambda p: p["name"])
    return pupils


def fill_pupils(sh: Sheet, lay: Layout, pupils: list, grade: int) -> None:
    for i, p in enumerate(pupils):
        row = 3 + i
        sh.set(row, 1, i + 1)
        sh.set_row(row, 2, [p["name"], p["gender"], p["series"], p["number"]])
        sh.set_row(row, lay.first, p["marks"])
        sh.set_row(row, lay.dpa_first, p["dpa"])
        f = avg_formula(row, lay, p["marks"])
        sh.set(row, lay.avg, f)
        if grade == 11:
            sh.set(row, lay.points, points_from_average(f.result))


# --------------------------------------------------------------------------
# The template and the examples

def template_book() -> Book:
    lay = Layout(SUBJECTS_9, DPA_9)
    return Book([class_sheet("Клас", 9, lay, formula_rows=40)])


def example_book(grade: int) -> Book:
    rnd = random.Random(2024 + grade)
    if grade == 9:
        lay = Layout(SUBJECTS_9, DPA_9)
        pupils = make_pupils(rnd, 10, lay, 9, "ВК", 47123400)
        sh = class_sheet("9-А", 9, lay, formula_rows=30)
    else:
        lay = Layout(SUBJECTS_11, DPA_11)
        pupils = make_pupils(rnd, 11, lay, 11, "ХА", 51024300)
        sh = class_sheet("11-Б", 11, lay, formula_rows=30)
    fill_pupils(sh, lay, pupils, grade)
    return Book([sh])


def bench_book() -> Book:
    rnd = random.Random(2000)
    lay = Layout(SUBJECTS_BENCH, DPA_11)
    pupils = make_pupils(rnd, 2000, lay, 11, "ХА", 51000000)
    sh = class_sheet("11 класи", 11, lay)
    fill_pupils(sh, lay, pupils, 11)
    return Book([sh])


# --------------------------------------------------------------------------
# Test fixtures written by LibreOffice

def small_header(sh: Sheet, subjects=("Алгебра", "Геометрія"), dpa=("Математика",)) -> Layout:
    lay = Layout(list(subjects), list(dpa))
    sh.set_row(2, 1, CAPTIONS)
    sh.set_row(2, lay.first, lay.subjects)
    sh.set(2, lay.star1, "*")
    sh.set_row(2, lay.dpa_first, lay.dpa)
    sh.set(2, lay.star2, "*")
    sh.set(2, lay.avg, "Середній бал")
    return lay


def grade_book(grade) -> Book:
    sh = Sheet("Клас")
    sh.set(1, 1, "Клас:")
    # B1 is bold even when empty: a formatted blank cell must still read as "".
    sh.set(1, 2, grade, bold=True)
    lay = small_header(sh)
    sh.set_row(3, 1, [1, "Остапчук Яна Сергіївна", "ж", "ВК", 47000001, 10, 11])
    sh.set(3, lay.dpa_first, 10)
    return Book([sh])


# The texts the tests compare against are kept beside each case in
# tst_sheetreaders.cpp and tst_import.cpp; they must change together.

SPACED_NOTE = " Класний  керівник:   Гнатюк В. О. "
TWO_LINES = "Рядок перший\nРядок другий"


def class9_book() -> Book:
    sh = Sheet("9-А клас")
    sh.set(1, 1, "Клас:", bold=True)
    sh.set(1, 2, 9)
    sh.set(1, 3, "Підказка: 9 або 11")
    sh.merge(1, 3, 1, 3)  # C1:E1, so row 1 goes on with covered cells
    sh.set(1, 6, "Після об'єднання")  # F1
    sh.set(1, 7, Formula("=[.B1]=9", True))  # G1
    sh.set(1, 8, Formula("=[.B1]=11", False))  # H1
    sh.set(1, 9, SPACED_NOTE)  # I1
    sh.set(1, 10, TWO_LINES)  # J1
    sh.set(1, 11, True)  # K1: a boolean typed in, not computed
    subjects = ["Українська мова", "Алгебра", "", "Основи*здоров'я", "Фізична культура"]
    lay = Layout(subjects, ["Українська мова", "Математика"])
    sh.set_row(2, 1, CAPTIONS, bold=True)
    # the first subject in mixed formatting (a rich text string)
    sh.set(2, lay.first, Rich([("Українська ", ""), ("мова", "i")]))
    sh.set_row(2, lay.first + 1, subjects[1:], bold=True)
    sh.set(2, lay.star1, "*")
    sh.set_row(2, lay.dpa_first, lay.dpa)
    sh.set(2, lay.star2, "*")
    sh.set(2, lay.avg, "Середній бал")
    sh.set(2, lay.points, "Бали")
    rows = [
        # name, gender, series, number, marks (5), dpa (2), avg cell, points cell
        ["Бондаренко Оксана Петрівна", "Ж", "ВК", 47123456, [10, 10, None, 11, 11], [10, 10], "f",
         Formula('=""&(170+16)', "186")],
        ["Мельник Тарас Іванович", "ч", "ВК", "01234567", [9, 8, None, "зв", 10], [9, 8], "f", None],
        ["Коваль Мар'яна Олегівна", "жіноча", "ВК", 47123458, [12, "зар", None, 7, 7], [8, 9], 8.7, None],
        ["Савчук Денис Андрійович", None, "ВК", 47123459, [6, 7, None, "на", 9], [7, 6], "f", None],
    ]
    for i, (name, gender, series, number, marks, dpa, avg, points) in enumerate(rows):
        row = 3 + i
        sh.set_row(row, 1, [i + 1, name, gender, series, number])
        sh.set_row(row, lay.first, marks)
        sh.set_row(row, lay.dpa_first, dpa)
        sh.set(row, lay.avg, avg_formula(row, lay, marks) if avg == "f" else avg)
        sh.set(row, lay.points, points)
    # Row 7 has no name; rows after it still hold data that the import must not take.
    sh.set(7, 1, 5)
    sh.set_row(8, 1, [6, "Зайвий Рядок Поза Списком", "ч", "ВК", 47000000, 5])
    sh.set(9, lay.avg, avg_formula(9, lay, []))
    return Book([sh])


def marks_book(count: int) -> Book:
    subjects = [f"Предмет {i + 1}" for i in range(25)]
    lay = Layout(subjects, ["Українська мова"])
    sh = Sheet("Клас")
    sh.set(1, 1, "Клас:")
    sh.set(1, 2, 11)
    sh.set_row(2, 1, CAPTIONS)
    sh.set_row(2, lay.first, subjects)
    sh.set(2, lay.star1, "*")
    sh.set_row(2, lay.dpa_first, lay.dpa)
    sh.set(2, lay.star2, "*")
    sh.set(2, lay.avg, "Середній бал")
    sh.set(2, lay.points, "Бали (11 кл.)")
    marks = [7 + (i * 5) % 6 for i in range(25)]
    marks[3] = "зв"
    marks[17] = "зар"
    if count == 24:
        marks[12] = None
    sh.set_row(3, 1, [1, "Ярмоленко Соломія Юріївна", "ж", "ХА", 51000025])
    sh.set_row(3, lay.first, marks)
    sh.set(3, lay.dpa_first, 9)
    f = avg_formula(3, lay, marks)
    sh.set(3, lay.avg, f)
    sh.set(3, lay.points, points_from_average(f.result))
    return Book([sh])


def no_pupils_book() -> Book:
    lay = Layout(SUBJECTS_9[:6], DPA_9[:2])
    return Book([class_sheet("Клас", 9, lay, formula_rows=3)])


def active_second_book() -> Book:
    first = Sheet("Аркуш1")
    first.set_row(1, 1, ["Клас:", 11])
    small_header(first, ("Хімія",), ("Історія України",))
    first.set_row(3, 1, [1, "Неправильний Учень Першого Аркуша", "ч", "АА", 11111111, 3])
    first.set(10, 26, "лише на першому аркуші")  # Z10
    second = Sheet("9-Б")
    second.set_row(1, 1, ["Клас:", 9])
    small_header(second)
    second.set_row(3, 1, [1, "Правильна Учениця Другого Аркуша", "ж", "ВК", 47200001, 12, 11])
    return Book([first, second], active=1)


def marker_book(markers: int) -> Book:
    sh = Sheet("Клас")
    sh.set_row(1, 1, ["Клас:", 9])
    sh.set_row(2, 1, CAPTIONS)
    if markers == 0:
        sh.set_row(2, 6, ["Алгебра", "Геометрія", "Фізика"])
        sh.set_row(3, 1, [1, "Головко Назар Петрович", "ч", "ВК", 47300001, 8, 9, 10])
    else:
        sh.set_row(2, 6, ["Алгебра", "Геометрія", "*", "Математика", "Історія України"])
        sh.set_row(3, 1, [1, "Головко Назар Петрович", "ч", "ВК", 47300001, 8, 9, None, 10, 11])
    return Book([sh])


def sst_book() -> Book:
    """Many distinct and some very long strings: the shared string table of an
    .xls is then split over CONTINUE records, strings included."""
    sh = Sheet("Рядки")
    for i in range(40):
        if i % 2 == 0:
            text = f"{i:02d} Прізвищенко-Довгоназвенко Іменко По-батькові"
        else:
            text = f"{i:02d} Latin row with plain ASCII text only"
        sh.set(i + 1, 1, text)
    sh.set(41, 1, long_cyrillic())
    sh.set(42, 1, long_ascii())
    sh.set(43, 1, "останній")
    return Book([sh])


def long_cyrillic() -> str:
    return "".join(f"Щ{i:03d}ї" for i in range(840))  # 4200 characters


def long_ascii() -> str:
    return "".join(f"L{i:04d}" for i in range(1660))  # 8300 characters


# --------------------------------------------------------------------------
# Files built without LibreOffice

def write_zip(path: Path, entries: list, stored_first: bool = False) -> None:
    """entries: (name, bytes); the first is stored uncompressed when asked
    (the "mimetype" of an OpenDocument package)."""
    with zipfile.ZipFile(path, "w") as z:
        for i, (name, data) in enumerate(entries):
            info = zipfile.ZipInfo(name, date_time=(2024, 9, 1, 8, 0, 0))
            info.compress_type = zipfile.ZIP_STORED if (stored_first and i == 0) else zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data, compresslevel=9)


XLSX_CT = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
</Types>"""
XLSX_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
XLSX_WB = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Клас" sheetId="1" r:id="rId1"/></sheets>
</workbook>"""
XLSX_WB_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>"""
SHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>')


def make_xlsx_inline(path: Path) -> None:
    """Inline strings as some generators write them: no shared strings, no
    styles, cells and a row without their "r" reference."""
    sheet = SHEET_HEAD + (
        '<row r="1"><c r="A1" t="inlineStr"><is><t>Клас:</t></is></c><c r="B1"><v>11</v></c></row>'
        '<row r="2"><c r="B2" t="inlineStr"><is><t>Прізвище, ім\'я та по батькові</t></is></c>'
        '<c r="F2" t="inlineStr"><is><t>Фізика і астрономія</t></is></c>'
        '<c t="inlineStr"><is><t>*</t></is></c>'  # G2
        '<c t="inlineStr"><is><r><t>Матема</t></r><r><rPr><b/></rPr><t>тика</t></r></is></c>'  # H2
        '<c r="I2" t="inlineStr"><is><t>*</t></is></c>'
        '<c t="inlineStr"><is><t xml:space="preserve">Середній бал </t></is></c></row>'  # J2
        '<row r="3"><c r="A3"><v>1</v></c><c r="B3" t="inlineStr"><is><t>Ґудзь Їжакова Євгенія</t></is></c>'
        '<c r="C3" t="inlineStr"><is><t>ж</t></is></c><c r="F3"><v>12</v></c>'
        '<c r="H3"><v>11</v></c><c r="J3"><v>10.5</v></c></row>'
        '<row><c r="A4"><v>2</v></c><c t="inlineStr"><is><t>Їжак Олесь Юрійович</t></is></c></row>'  # row 4
        '</sheetData></worksheet>')
    write_zip(path, [
        ("[Content_Types].xml", XLSX_CT), ("_rels/.rels", XLSX_RELS),
        ("xl/workbook.xml", XLSX_WB), ("xl/_rels/workbook.xml.rels", XLSX_WB_RELS),
        ("xl/worksheets/sheet1.xml", sheet),
    ])


def make_zipbomb(path: Path) -> None:
    """A valid .xlsx whose sheet inflates to more than 128 MiB (mostly spaces
    between the rows, which XML allows)."""
    head = (SHEET_HEAD + '<row r="1"><c r="A1" t="inlineStr"><is><t>Клас:</t></is></c>'
            '<c r="B1"><v>9</v></c></row>').encode()
    block = b" " * (1024 * 1024)
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, data in [("[Content_Types].xml", XLSX_CT), ("_rels/.rels", XLSX_RELS),
                           ("xl/workbook.xml", XLSX_WB), ("xl/_rels/workbook.xml.rels", XLSX_WB_RELS)]:
            info = zipfile.ZipInfo(name, date_time=(2024, 9, 1, 8, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
        info = zipfile.ZipInfo("xl/worksheets/sheet1.xml", date_time=(2024, 9, 1, 8, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        with z.open(info, "w") as f:
            f.write(head)
            for _ in range(136):
                f.write(block)
            f.write('<row r="2"><c r="B2" t="inlineStr"><is><t>після пробілів</t></is></c></row>'
                    '</sheetData></worksheet>'.encode())


ODS_MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3">
 <manifest:file-entry manifest:full-path="/" manifest:version="1.3" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
 <manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""
ODS_CONTENT_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                    '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
                    'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
                    'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.3">'
                    '<office:body><office:spreadsheet><table:table table:name="Клас">')
ODS_CONTENT_TAIL = '</table:table></office:spreadsheet></office:body></office:document-content>'


def ods_cell(text: str) -> str:
    return f'<table:table-cell office:value-type="string"><text:p>{text}</text:p></table:table-cell>'


def make_repeat_bomb(path: Path) -> None:
    content = (ODS_CONTENT_HEAD
               + '<table:table-row>' + ods_cell("Клас:")
               + '<table:table-cell office:value-type="float" office:value="9"><text:p>9</text:p></table:table-cell>'
               + '</table:table-row>'
               + '<table:table-row table:number-rows-repeated="1000000">'
               + '<table:table-cell table:number-columns-repeated="1000000000" office:value-type="string">'
               + '<text:p>x</text:p></table:table-cell></table:table-row>'
               + ODS_CONTENT_TAIL)
    write_zip(path, [("mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
                     ("META-INF/manifest.xml", ODS_MANIFEST), ("content.xml", content)], stored_first=True)


def make_ods_empty_repeats(path: Path) -> None:
    """Empty cells and rows repeated to the sheet's edge, as LibreOffice writes
    them for formatted columns: they hold nothing and must cost nothing."""
    content = (ODS_CONTENT_HEAD
               + '<table:table-column table:number-columns-repeated="16384"/>'
               + '<table:table-row>' + ods_cell("Клас:")
               + '<table:table-cell office:value-type="float" office:value="11"><text:p>11</text:p></table:table-cell>'
               + '<table:table-cell table:number-columns-repeated="16382"/></table:table-row>'
               + '<table:table-row table:number-rows-repeated="1048000">'
               + '<table:table-cell table:number-columns-repeated="16384"/></table:table-row>'
               + '<table:table-row>' + '<table:table-cell table:number-columns-repeated="2"/>'
               + ods_cell("за краєм") + '</table:table-row>'
               + ODS_CONTENT_TAIL)
    write_zip(path, [("mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
                     ("META-INF/manifest.xml", ODS_MANIFEST), ("content.xml", content)], stored_first=True)


ACTIVE_VIEW = ('<config:config-item-set config:name="ooo:view-settings">'
               '<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>'
               '<config:config-item config:name="ViewId" config:type="string">view1</config:config-item>'
               '<config:config-item-map-named config:name="Tables">{tables}</config:config-item-map-named>'
               '<config:config-item config:name="ActiveTable" config:type="string">{active}</config:config-item>'
               '</config:config-item-map-entry></config:config-item-map-indexed></config:config-item-set>')


def set_ods_active_sheet(src: Path, dst: Path, sheets: list, active: str) -> None:
    """LibreOffice's headless export keeps no view settings; write them as the
    program would find them in an .ods saved from a window."""
    tables = "".join(
        f'<config:config-item-map-entry config:name="{n}">'
        '<config:config-item config:name="CursorPositionX" config:type="int">1</config:config-item>'
        '<config:config-item config:name="CursorPositionY" config:type="int">2</config:config-item>'
        '</config:config-item-map-entry>' for n in sheets)
    view = ACTIVE_VIEW.format(tables=tables, active=active)
    with zipfile.ZipFile(src) as zin:
        infos = zin.infolist()
        if infos[0].filename != "mimetype":
            raise SystemExit(f"{src}: mimetype is not the first entry")
        entries = []
        for info in infos:
            data = zin.read(info.filename)
            if info.filename == "settings.xml":
                text = data.decode("utf-8")
                if "ActiveTable" in text:
                    raise SystemExit(f"{src}: LibreOffice wrote an active sheet now; the patch is not needed")
                text, n = re.subn(r'<config:config-item-set config:name="ooo:view-settings">.*?'
                                  r'</config:config-item-set>', lambda m: view, text, count=1, flags=re.S)
                if n != 1:
                    raise SystemExit(f"{src}: no view settings to replace")
                data = text.encode("utf-8")
            entries.append((info.filename, data))
    write_zip(dst, entries, stored_first=True)


def make_openpyxl(path: Path) -> None:
    import openpyxl
    wb = openpyxl.Workbook()
    old = wb.active
    old.title = "Старий"
    old["A1"], old["B1"] = "Клас:", 11
    old["B3"] = "Неправильна Особа Першого Аркуша"
    ws = wb.create_sheet("9-В")
    ws["A1"], ws["B1"] = "Клас:", 9
    for i, t in enumerate(CAPTIONS):
        ws.cell(row=2, column=1 + i, value=t)
    for i, t in enumerate(["Біологія", "Хімія", "*", "Біологія", "*", "Середній бал"]):
        ws.cell(row=2, column=6 + i, value=t)
    for i, v in enumerate([1, "Гончаренко Ірина Степанівна", "ж", "ВК", 47400001, 11, 10, None, 10, None, 10.5]):
        if v is not None:
            ws.cell(row=3, column=1 + i, value=v)
    ws["M1"] = True
    wb.active = 1
    wb.save(path)


# --------------------------------------------------------------------------
# LibreOffice

def soffice() -> str:
    exe = shutil.which("soffice")
    if not exe:
        raise SystemExit("soffice (LibreOffice) is needed")
    return exe


def convert(sources: list, fmt: str, outdir: Path) -> None:
    outdir.mkdir(parents=True, exist_ok=True)
    cmd = [soffice(), f"-env:UserInstallation={PROFILE}", "--headless", "--norestore",
           "--convert-to", FILTERS[fmt], "--outdir", str(outdir)] + [str(s) for s in sources]
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for s in sources:
        out = outdir / (Path(s).stem + "." + fmt)
        if not out.is_file() or out.stat().st_size == 0:
            raise SystemExit(f"LibreOffice did not write {out}")


def write_password_files(source: Path, targets: dict) -> str:
    """Saves `source` with a password through LibreOffice's UNO bridge
    (soffice --convert-to has no way to pass one). Returns "" or why not."""
    try:
        import uno  # noqa: F401  (python3-uno)
        from com.sun.star.beans import NamedValue, PropertyValue
    except ImportError:
        return "python3-uno is not installed"

    def pv(name, value):
        p = PropertyValue()
        p.Name, p.Value = name, value
        return p

    def nv(name, value):
        p = NamedValue()
        p.Name, p.Value = name, value
        return p

    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    proc = subprocess.Popen([soffice(), f"-env:UserInstallation={PROFILE}", "--headless", "--invisible",
                             "--norestore", f"--accept=socket,host=127.0.0.1,port={port};urp;"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        ctx = None
        for _ in range(120):
            try:
                ctx = resolver.resolve(f"uno:socket,host=127.0.0.1,port={port};urp;StarOffice.ComponentContext")
                break
            except Exception:
                time.sleep(0.5)
        if ctx is None:
            return "LibreOffice did not answer on its UNO socket"
        desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        doc = desktop.loadComponentFromURL(source.resolve().as_uri(), "_blank", 0, (pv("Hidden", True),))
        try:
            for fmt, target in targets.items():
                filt = FILTERS[fmt].split(":", 1)[1]
                if fmt == "xlsx":
                    # the agile/standard OOXML encryption wants its data spelled out
                    enc = uno.Any("[]com.sun.star.beans.NamedValue",
                                  (nv("OOXPassword", PASSWORD), nv("CryptoType", "Standard")))
                    uno.invoke(doc, "storeToURL", (target.resolve().as_uri(),
                                                   (pv("FilterName", filt), pv("EncryptionData", enc))))
                else:
                    doc.storeToURL(target.resolve().as_uri(), (pv("FilterName", filt), pv("Password", PASSWORD)))
        finally:
            doc.close(True)
        try:
            desktop.terminate()
        except Exception:
            pass  # the bridge goes away while terminating
        proc.wait(timeout=60)
    finally:
        if proc.poll() is None:
            proc.terminate()
            proc.wait(timeout=30)
    return ""


# --------------------------------------------------------------------------
# Checks of what the tests rely on (LibreOffice versions differ)

OLE2 = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"


def xlsx_part(path: Path, name: str) -> str:
    with zipfile.ZipFile(path) as z:
        return z.read(name).decode("utf-8")


def check(cond: bool, what: str) -> None:
    if not cond:
        raise SystemExit("check failed: " + what)


def ole_stream(path: Path, name: str = "Workbook") -> bytes:
    """One stream of an OLE2 compound file (enough of the format for files
    LibreOffice writes)."""
    data = path.read_bytes()
    ssz = 1 << struct.unpack_from("<H", data, 30)[0]
    mssz = 1 << struct.unpack_from("<H", data, 32)[0]
    nfat, dir_start, _, mini_cut, minifat_start, _, difat_start, _ = struct.unpack_from("<8I", data, 44)
    difat = list(struct.unpack_from("<109I", data, 76))

    def sector(i: int) -> bytes:
        return data[512 + i * ssz: 512 + (i + 1) * ssz]

    s = difat_start
    while s < 0xFFFFFFFA:
        d = sector(s)
        difat += struct.unpack_from(f"<{ssz // 4 - 1}I", d)
        s = struct.unpack_from("<I", d, ssz - 4)[0]
    fat = []
    for f in difat[:nfat]:
        fat += struct.unpack_from(f"<{ssz // 4}I", sector(f))

    def chain(s: int, table: list, read) -> bytes:
        out = []
        while s < 0xFFFFFFFA:
            out.append(read(s))
            s = table[s]
        return b"".join(out)

    dirs = chain(dir_start, fat, sector)
    root_start = struct.unpack_from("<I", dirs, 116)[0]
    for i in range(len(dirs) // 128):
        e = dirs[i * 128:(i + 1) * 128]
        n = struct.unpack_from("<H", e, 64)[0]
        if e[:max(n - 2, 0)].decode("utf-16-le") != name:
            continue
        start, size = struct.unpack_from("<II", e, 116)
        if size >= mini_cut:
            return chain(start, fat, sector)[:size]
        mini = chain(root_start, fat, sector)
        m = chain(minifat_start, fat, sector)
        minifat = list(struct.unpack_from(f"<{len(m) // 4}I", m))
        return chain(start, minifat, lambda j: mini[j * mssz:(j + 1) * mssz])[:size]
    raise SystemExit(f"{path}: no {name} stream")


def xls_records(path: Path):
    wb = ole_stream(path)
    pos = 0
    while pos + 4 <= len(wb):
        rid, ln = struct.unpack_from("<HH", wb, pos)
        yield rid, wb[pos + 4: pos + 4 + ln]
        pos += 4 + ln


def xls_formula_results(path: Path) -> dict:
    """(row, col) from 1 -> the cached result of each FORMULA record of an .xls."""
    out = {}
    pending = None
    for rid, body in xls_records(path):
        if rid == 0x0006:  # FORMULA
            row, col = struct.unpack_from("<HH", body, 0)
            res = body[6:14]
            key = (row + 1, col + 1)
            if res[6:8] != b"\xff\xff":
                out[key] = struct.unpack("<d", res)[0]
            elif res[0] == 0:
                pending = key  # the text follows in a STRING record
            elif res[0] == 1:
                out[key] = bool(res[2])
            elif res[0] == 3:
                out[key] = ""
            else:
                out[key] = ("error", res[2])
        elif rid == 0x0207 and pending:  # STRING
            cch, flags = struct.unpack_from("<HB", body, 0)
            raw = body[3:]
            out[pending] = raw[:cch * 2].decode("utf-16-le") if flags & 1 else raw[:cch].decode("latin-1")
            pending = None
    return out


def xlsx_formula_results(path: Path, part: str = "xl/worksheets/sheet1.xml") -> dict:
    out = {}
    for m in re.finditer(r'<c r="([A-Z]+)(\d+)"([^>]*)><f[^>]*>[^<]*</f>(?:<v>([^<]*)</v>|<v/>)?</c>',
                         xlsx_part(path, part)):
        letters, row, attrs, v = m.groups()
        col = 0
        for ch in letters:
            col = col * 26 + ord(ch) - 64
        t = re.search(r't="(\w+)"', attrs)
        t = t.group(1) if t else "n"
        v = html.unescape(v or "")
        out[(int(row), col)] = {"b": lambda x: x == "1", "str": str, "e": lambda x: ("error", x)}.get(t, float)(v)
    return out


def check_formulas(what: str, sheet: Sheet, results: dict) -> None:
    for key, value in sheet.cells.items():
        if not isinstance(value, Formula):
            continue
        want, got = value.result, results.get(key)
        if isinstance(want, bool) or isinstance(want, str):
            ok = got == want and type(got) is type(want)
        else:
            ok = isinstance(got, float) and abs(got - want) < 1e-9
        check(ok, f"{what} {ref(*key)}: LibreOffice stored {got!r}, expected {want!r}")


def verify(fx: Path, cases: dict) -> None:
    """What the tests rely on, as LibreOffice wrote it."""
    for name, book in cases.items():
        sheet = book.sheets[book.active]
        check_formulas(f"{name}.xls", sheet, xls_formula_results(fx / f"{name}.xls"))
        part = f"xl/worksheets/sheet{book.active + 1}.xml"
        check_formulas(f"{name}.xlsx", sheet, xlsx_formula_results(fx / f"{name}.xlsx", part))
    wb = xlsx_part(fx / "active_second.xlsx", "xl/workbook.xml")
    check('activeTab="1"' in wb, "active_second.xlsx has the second sheet active")
    s = xlsx_part(fx / "class9.xlsx", "xl/worksheets/sheet1.xml")
    check(re.search(r'<c r="G1"[^>]*t="b"', s) is not None, "class9.xlsx G1 is a boolean formula result")
    check(re.search(r'<c r="P3"[^>]*t="str"', s) is not None, "class9.xlsx P3 is a text formula result")
    with zipfile.ZipFile(fx / "ods_active_second.ods") as z:
        first = z.infolist()[0]
        check(first.filename == "mimetype" and first.compress_type == zipfile.ZIP_STORED,
              "ods_active_second.ods keeps mimetype first and stored")
    x = xlsx_part(fx / "xlsx_openpyxl.xlsx", "xl/_rels/workbook.xml.rels")
    check('Target="/xl/' in x, "openpyxl writes absolute part names")
    x = xlsx_part(fx / "xlsx_openpyxl.xlsx", "xl/workbook.xml")
    check('activeTab="1"' in x, "xlsx_openpyxl.xlsx has the second sheet active")
    # the long strings must cross the 8224-byte record limit of the .xls string table
    ids = [rid for rid, _ in xls_records(fx / "sst_continue.xls")]
    i = ids.index(0x00FC)  # SST
    check(ids[i + 1: i + 3] == [0x003C] * 2, "sst_continue.xls has its strings over several CONTINUE records")
    check(0x002F in [rid for rid, _ in xls_records(fx / "password.xls")] if (fx / "password.xls").exists()
          else True, "password.xls has a FILEPASS record")


# --------------------------------------------------------------------------

def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--keep-sources", metavar="DIR", help="also keep the .fods sources in DIR")
    ap.add_argument("--no-bench", action="store_true", help="skip the 2000-pupil benchmark data")
    args = ap.parse_args()

    for d in (FIXTURES, EXAMPLES, RESOURCES, BENCH_DATA):
        d.mkdir(parents=True, exist_ok=True)

    with tempfile.TemporaryDirectory(prefix="make_workbooks-") as tmp:
        tmp = Path(tmp)
        src = tmp / "src"
        src.mkdir()

        def fods(name: str, book: Book) -> Path:
            p = src / (name + ".fods")
            p.write_text(to_fods(book), encoding="utf-8")
            return p

        # the template and the examples
        tpl = fods(Path(TEMPLATE_NAME).stem, template_book())
        ex9 = fods("Приклад 9 клас", example_book(9))
        ex11 = fods("Приклад 11 клас", example_book(11))
        convert([tpl], "xlt", tmp / "xlt")
        convert([ex9], "xls", tmp / "ex")
        convert([ex11], "xlsx", tmp / "ex")
        shutil.copyfile(tmp / "xlt" / TEMPLATE_NAME, RESOURCES / TEMPLATE_NAME)
        shutil.copyfile(tmp / "ex" / "Приклад 9 клас.xls", EXAMPLES / "Приклад 9 клас.xls")
        shutil.copyfile(tmp / "ex" / "Приклад 11 клас.xlsx", EXAMPLES / "Приклад 11 клас.xlsx")

        # fixtures in all three formats
        cases = {
            "grade_empty": grade_book(None),
            "grade_9": grade_book(9),
            "grade_11": grade_book(11),
            "grade_10": grade_book(10),
            "grade_text": grade_book("дев'ять"),
            "class9": class9_book(),
            "marks24": marks_book(24),
            "marks25": marks_book(25),
            "no_pupils": no_pupils_book(),
            "active_second": active_second_book(),
            "no_marker": marker_book(0),
            "one_marker": marker_book(1),
            "sst_continue": sst_book(),
        }
        sources = [fods(name, book) for name, book in cases.items()]
        for fmt in ("xls", "xlsx", "ods"):
            convert(sources, fmt, tmp / fmt)
        for name in cases:
            for fmt in ("xls", "xlsx", "ods"):
                if name == "active_second" and fmt == "ods":
                    continue  # the export has no active sheet; see ods_active_second.ods
                shutil.copyfile(tmp / fmt / f"{name}.{fmt}", FIXTURES / f"{name}.{fmt}")
        set_ods_active_sheet(tmp / "ods" / "active_second.ods", FIXTURES / "ods_active_second.ods",
                             ["Аркуш1", "9-Б"], "9-Б")

        # handmade and broken files
        make_xlsx_inline(FIXTURES / "xlsx_inline.xlsx")
        make_openpyxl(FIXTURES / "xlsx_openpyxl.xlsx")
        make_zipbomb(FIXTURES / "zipbomb.xlsx")
        make_repeat_bomb(FIXTURES / "repeat_bomb.ods")
        make_ods_empty_repeats(FIXTURES / "ods_empty_repeats.ods")
        (FIXTURES / "empty.xls").write_bytes(b"")
        rnd = random.Random(7)
        noise = bytes(rnd.randrange(256) for _ in range(4096))
        if noise.startswith(OLE2[:4]) or noise.startswith(b"PK"):
            noise = b"\0" + noise[1:]
        (FIXTURES / "random.xls").write_bytes(noise)
        (FIXTURES / "ole_random.xls").write_bytes(OLE2 + noise[8:])
        (FIXTURES / "text.xlsx").write_text("Прізвище;Ім'я\nБондаренко;Оксана\n", encoding="utf-8")
        for fmt in ("xls", "xlsx", "ods"):
            data = (FIXTURES / f"class9.{fmt}").read_bytes()
            (FIXTURES / f"truncated.{fmt}").write_bytes(data[: len(data) // 2])

        why = write_password_files(src / "grade_9.fods", {"xls": FIXTURES / "password.xls",
                                                          "xlsx": FIXTURES / "password.xlsx"})
        if why:
            print(f"password.xls/.xlsx not written: {why}")
        else:
            check((FIXTURES / "password.xlsx").read_bytes()[:8] == OLE2, "password.xlsx is an encrypted package")

        verify(FIXTURES, cases)
        check_formulas("template", template_book().sheets[0], xls_formula_results(RESOURCES / TEMPLATE_NAME))
        check_formulas("example 9", example_book(9).sheets[0],
                       xls_formula_results(EXAMPLES / "Приклад 9 клас.xls"))
        check_formulas("example 11", example_book(11).sheets[0],
                       xlsx_formula_results(EXAMPLES / "Приклад 11 клас.xlsx"))

        if not args.no_bench:
            bench = fods("class2000", bench_book())
            for fmt in ("xls", "xlsx", "ods"):
                convert([bench], fmt, tmp / "bench")
                shutil.copyfile(tmp / "bench" / f"class2000.{fmt}", BENCH_DATA / f"class2000.{fmt}")

        if args.keep_sources:
            keep = Path(args.keep_sources)
            keep.mkdir(parents=True, exist_ok=True)
            for p in src.iterdir():
                shutil.copyfile(p, keep / p.name)

    print("written:")
    for d in (RESOURCES, EXAMPLES, FIXTURES, BENCH_DATA):
        for p in sorted(d.iterdir()):
            if p.is_file() and p.suffix in (".xls", ".xlsx", ".ods", ".xlt"):
                print(f"  {p.relative_to(ROOT)}  {p.stat().st_size} bytes")


if __name__ == "__main__":
    main()
