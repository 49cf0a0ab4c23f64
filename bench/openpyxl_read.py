#!/usr/bin/python3
"""Times openpyxl reading the benchmark class, for comparison with bench_import.

    /usr/bin/python3 bench/openpyxl_read.py [runs]

Reads bench/data/class2000.xlsx the way the program reads a class: B1, the
subject and attestation names of row 2 up to the two "*" cells, then one pupil
a row until column B is empty, every cell as text. openpyxl reads only .xlsx,
so the .xls and .ods rows of bench_import compare with this same figure (all
three files hold the same data). Prints the median of several runs.
"""

import statistics
import sys
import time
from pathlib import Path

import openpyxl

DATA = Path(__file__).resolve().parent / "data" / "class2000.xlsx"


def text(v) -> str:
    if v is None:
        return ""
    if isinstance(v, float) and v.is_integer():
        return str(int(v))
    return str(v)


def read_class(path: Path, read_only: bool) -> tuple:
    wb = openpyxl.load_workbook(path, read_only=read_only, data_only=True)
    try:
        rows = wb.active.iter_rows(values_only=True)
        first = next(rows)
        grade = text(first[1])
        header = [text(v) for v in next(rows)]
        star1 = header.index("*", 5)
        star2 = header.index("*", star1 + 1)
        subjects, dpa = header[5:star1], header[star1 + 1:star2]
        pupils = []
        for row in rows:
            cells = [text(v) for v in row]
            if len(cells) < 2 or not cells[1]:
                break
            pupils.append({
                "fio": cells[1], "gender": cells[2][:1], "series": cells[3], "number": cells[4],
                "marks": cells[5:star1], "dpa": cells[star1 + 1:star2],
                "avg": cells[star2 + 1] if star2 + 1 < len(cells) else "",
                "points": cells[star2 + 2] if star2 + 2 < len(cells) else "",
            })
        return grade, len(subjects), len(dpa), len(pupils)
    finally:
        wb.close()


def main() -> int:
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 9
    print(f"openpyxl {openpyxl.__version__}, {DATA.name}, median of {runs} runs after one warm-up run")
    print(f"{'mode':<10} {'median ms':>10} {'min ms':>10} {'max ms':>10}")
    for read_only in (True, False):
        mode = "read_only" if read_only else "full"
        grade, subjects, dpa, pupils = read_class(DATA, read_only)
        if pupils != 2000:
            print(f"{mode}: read {pupils} pupils, expected 2000")
            return 1
        times = []
        for _ in range(runs):
            t = time.perf_counter()
            read_class(DATA, read_only)
            times.append((time.perf_counter() - t) * 1000)
        print(f"{mode:<10} {statistics.median(times):>10.1f} {min(times):>10.1f} {max(times):>10.1f}")
    print("(the .xls and .ods rows of bench_import hold the same data; openpyxl reads only .xlsx)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
