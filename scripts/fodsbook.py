"""A small writer of flat OpenDocument spreadsheets (.fods).

Only what the workbook scripts need: text, numbers, booleans, formulas with
their results, bold cells, wrapped captions, merged cells, column widths and
the active sheet. LibreOffice converts the result to .xls, .xlsx, .ods, .xlt.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from xml.sax.saxutils import escape, quoteattr


@dataclass
class Formula:
    """A formula in OpenFormula syntax (with the leading "=") and the result
    it gives. The result is not written; the scripts compare it with what
    LibreOffice computed and stored."""

    expr: str
    result: object  # str, int, float or bool


@dataclass
class Rich:
    """A text cell whose parts are bold or italic; parts are (text, style)
    with style one of "", "b", "i"."""

    parts: list


@dataclass
class Sheet:
    name: str
    cells: dict = field(default_factory=dict)  # (row, col) -> value
    bold: set = field(default_factory=set)  # (row, col)
    wrap_rows: set = field(default_factory=set)  # rows whose cells wrap
    merges: dict = field(default_factory=dict)  # (row, col) -> (rows, cols)
    widths: dict = field(default_factory=dict)  # col -> width in cm
    default_width: float = 2.0

    def set(self, row: int, col: int, value, bold: bool = False) -> None:
        if value is None or value == "":
            self.cells.pop((row, col), None)
        else:
            self.cells[(row, col)] = value
        if bold:
            self.bold.add((row, col))

    def set_row(self, row: int, col: int, values, bold: bool = False) -> None:
        for i, v in enumerate(values):
            self.set(row, col + i, v, bold)

    def merge(self, row: int, col: int, rows: int, cols: int) -> None:
        self.merges[(row, col)] = (rows, cols)


@dataclass
class Book:
    sheets: list
    active: int = 0


def col_name(col: int) -> str:
    """1 -> A, 27 -> AA."""
    s = ""
    while col:
        col, r = divmod(col - 1, 26)
        s = chr(ord("A") + r) + s
    return s


def ref(row: int, col: int) -> str:
    return f"{col_name(col)}{row}"


def of_range(row: int, c1: int, c2: int) -> str:
    """A same-sheet range in OpenFormula notation: [.F3:.W3]."""
    return f"[.{ref(row, c1)}:.{ref(row, c2)}]"


NAMESPACES = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "ooo": "http://openoffice.org/2004/office",
    "config": "urn:oasis:names:tc:opendocument:xmlns:config:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    "of": "urn:oasis:names:tc:opendocument:xmlns:of:1.2",
    "calcext": "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0",
}


def _number(v) -> str:
    if isinstance(v, bool):
        raise TypeError("bool is not a number")
    if isinstance(v, int):
        return str(v)
    return repr(float(v))


def _paragraphs(text: str) -> str:
    out = []
    for line in text.split("\n"):
        out.append("<text:p>" + _spaces(line) + "</text:p>")
    return "".join(out)


def _spaces(line: str) -> str:
    """Runs of spaces as ODF wants them: the first kept, the rest <text:s/>
    (a leading space is always <text:s/>)."""
    out = []
    i = 0
    while i < len(line):
        if line[i] == " ":
            j = i
            while j < len(line) and line[j] == " ":
                j += 1
            n = j - i
            if i == 0 or j == len(line):
                out.append(f'<text:s text:c="{n}"/>')
            else:
                out.append(" ")
                if n > 1:
                    out.append(f'<text:s text:c="{n - 1}"/>')
            i = j
        else:
            j = i
            while j < len(line) and line[j] != " ":
                j += 1
            out.append(escape(line[i:j]))
            i = j
    return "".join(out)


def _cell_xml(value, style: str | None, span) -> str:
    attrs = []
    if style:
        attrs.append(f"table:style-name={quoteattr(style)}")
    if span:
        rows, cols = span
        attrs.append(f'table:number-rows-spanned="{rows}" table:number-columns-spanned="{cols}"')
    body = ""
    if isinstance(value, Formula):
        # The result is left for LibreOffice to compute: a cached value in the
        # source makes its .xls export write e.g. a text result as the number 0.
        attrs.append("table:formula=" + quoteattr("of:" + value.expr))
    elif isinstance(value, Rich):
        attrs.append('office:value-type="string"')
        parts = []
        for text, st in value.parts:
            if st:
                parts.append(f'<text:span text:style-name="T{st}">{_spaces(text)}</text:span>')
            else:
                parts.append(_spaces(text))
        body = "<text:p>" + "".join(parts) + "</text:p>"
    elif isinstance(value, bool):
        attrs.append(f'office:value-type="boolean" office:boolean-value="{"true" if value else "false"}"')
        body = "<text:p>" + ("TRUE" if value else "FALSE") + "</text:p>"
    elif isinstance(value, (int, float)):
        attrs.append(f'office:value-type="float" office:value="{_number(value)}"')
        body = "<text:p>" + _number(value) + "</text:p>"
    elif isinstance(value, str):
        attrs.append('office:value-type="string"')
        body = _paragraphs(value)
    elif value is not None:
        raise TypeError(f"unsupported cell value {value!r}")
    a = (" " + " ".join(attrs)) if attrs else ""
    return f"<table:table-cell{a}>{body}</table:table-cell>" if body or a else "<table:table-cell/>"


def _sheet_xml(sheet: Sheet, col_styles: dict) -> str:
    out = [f"<table:table table:name={quoteattr(sheet.name)}>"]
    max_row = max([r for r, _ in sheet.cells] + [r for r, _ in sheet.bold] + [r + s[0] - 1 for (r, _), s in sheet.merges.items()] + [1])
    max_col = max([c for _, c in sheet.cells] + [c + s[1] - 1 for (_, c), s in sheet.merges.items()]
                  + list(sheet.widths) + [1])
    for c in range(1, max_col + 1):
        out.append(f'<table:table-column table:style-name="{col_styles[(sheet.name, c)]}"/>')
    covered = set()
    for (r, c), (rows, cols) in sheet.merges.items():
        for rr in range(r, r + rows):
            for cc in range(c, c + cols):
                if (rr, cc) != (r, c):
                    covered.add((rr, cc))
    for r in range(1, max_row + 1):
        row_cols = [c for (rr, c) in sheet.cells if rr == r] + [c for (rr, c) in covered if rr == r] \
            + [c for (rr, c) in sheet.merges if rr == r] + [c for (rr, c) in sheet.bold if rr == r]
        out.append("<table:table-row>")
        last = max(row_cols) if row_cols else 0
        c = 1
        while c <= last:
            if (r, c) in covered:
                out.append("<table:covered-table-cell/>")
                c += 1
                continue
            value = sheet.cells.get((r, c))
            style = None
            if (r, c) in sheet.bold:
                style = "ceBW" if r in sheet.wrap_rows else "ceB"
            elif r in sheet.wrap_rows:
                style = "ceW"
            span = sheet.merges.get((r, c))
            if value is None and style is None and span is None:
                # a run of plain empty cells
                n = 1
                while c + n <= last and (r, c + n) not in sheet.cells and (r, c + n) not in covered \
                        and (r, c + n) not in sheet.bold and (r, c + n) not in sheet.merges \
                        and r not in sheet.wrap_rows:
                    n += 1
                out.append(f'<table:table-cell table:number-columns-repeated="{n}"/>' if n > 1
                           else "<table:table-cell/>")
                c += n
                continue
            out.append(_cell_xml(value, style, span))
            c += 1
        out.append("</table:table-row>")
    out.append("</table:table>")
    return "".join(out)


def to_fods(book: Book) -> str:
    ns = " ".join(f'xmlns:{k}="{v}"' for k, v in NAMESPACES.items())
    # Column styles, one per distinct width.
    widths = {}
    col_styles = {}
    for sh in book.sheets:
        max_col = max([c for _, c in sh.cells] + list(sh.widths) + [1])
        for c in range(1, max_col + 1):
            w = sh.widths.get(c, sh.default_width)
            key = f"{w:.3f}"
            if key not in widths:
                widths[key] = f"co{len(widths) + 1}"
            col_styles[(sh.name, c)] = widths[key]
    styles = []
    for w, name in widths.items():
        styles.append(f'<style:style style:name="{name}" style:family="table-column">'
                      f'<style:table-column-properties style:column-width="{w}cm"/></style:style>')
    styles.append('<style:style style:name="ceB" style:family="table-cell" style:parent-style-name="Default">'
                  '<style:text-properties fo:font-weight="bold"/></style:style>')
    styles.append('<style:style style:name="ceW" style:family="table-cell" style:parent-style-name="Default">'
                  '<style:table-cell-properties fo:wrap-option="wrap" style:vertical-align="middle"/>'
                  '<style:paragraph-properties fo:text-align="center"/></style:style>')
    styles.append('<style:style style:name="ceBW" style:family="table-cell" style:parent-style-name="Default">'
                  '<style:table-cell-properties fo:wrap-option="wrap" style:vertical-align="middle"/>'
                  '<style:paragraph-properties fo:text-align="center"/>'
                  '<style:text-properties fo:font-weight="bold"/></style:style>')
    styles.append('<style:style style:name="Tb" style:family="text">'
                  '<style:text-properties fo:font-weight="bold"/></style:style>')
    styles.append('<style:style style:name="Ti" style:family="text">'
                  '<style:text-properties fo:font-style="italic"/></style:style>')
    active = book.sheets[book.active].name
    settings = (
        '<office:settings><config:config-item-set config:name="ooo:view-settings">'
        '<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>'
        '<config:config-item config:name="ViewId" config:type="string">view1</config:config-item>'
        f'<config:config-item config:name="ActiveTable" config:type="string">{escape(active)}</config:config-item>'
        '</config:config-item-map-entry></config:config-item-map-indexed>'
        '</config:config-item-set></office:settings>'
    )
    body = "".join(_sheet_xml(sh, col_styles) for sh in book.sheets)
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document {ns} office:version="1.3" '
        'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
        + settings
        + '<office:automatic-styles>' + "".join(styles) + '</office:automatic-styles>'
        + '<office:body><office:spreadsheet>' + body + '</office:spreadsheet></office:body>'
        + '</office:document>\n'
    )
