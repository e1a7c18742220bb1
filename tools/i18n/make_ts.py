#!/usr/bin/env python3
"""Generates the two translation catalogues from the working list.

tools/i18n/catalogue.tsv (tab-separated: context, source, english, origin)
is the one place where the program's translatable texts are kept.  This
script writes resources/lang_en.ts (every source with its English) and
resources/lang_zh.ts (every source translated by itself, except the form
placeholders, which get Chinese names, and the length-test resistance
placeholder, which keeps an empty translation so the source text shows).

Usage:
  make_ts.py           write both .ts files
  make_ts.py --check   exit 1 when a .ts file is not what the list gives
"""

import csv
import re
import sys
from collections import Counter, OrderedDict
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
CATALOGUE = ROOT / "tools" / "i18n" / "catalogue.tsv"
EN_TS = ROOT / "resources" / "lang_en.ts"
ZH_TS = ROOT / "resources" / "lang_zh.ts"

COLUMNS = ["context", "source", "english", "origin"]

# Placeholder texts of the forms and the names they carry in Chinese.
ZH_PLACEHOLDERS = {
    "Dialog": "对话框",
    "GroupBox": "分组框",
    "MainWindow": "主窗口",
    "TextLabel": "文本标签",
    "toolBar": "工具栏",
}
# Sources whose Chinese entry has an empty (but finished) translation;
# the compiled catalogue then falls back to the source text.
ZH_EMPTY = {"------μΩ"}

SQUARE = "平方"
SQUARE_EN = "mm²"
CROSS_SECTION = re.compile(r"^(\d+(?:\.\d+)?)" + SQUARE + "$")


class CatalogueError(Exception):
    pass


def read_catalogue(path):
    """Returns the rows of the list as dicts, checked for consistency."""
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE)
        header = next(reader, None)
        if header != COLUMNS:
            raise CatalogueError(f"{path}: header must be {COLUMNS}, is {header}")
        rows = []
        for number, fields in enumerate(reader, start=2):
            if not fields:
                continue
            if len(fields) != len(COLUMNS):
                raise CatalogueError(f"{path}:{number}: {len(fields)} fields, expected {len(COLUMNS)}")
            rows.append(dict(zip(COLUMNS, fields), line=number))
    check_rows(rows, path)
    return rows


def check_rows(rows, path):
    seen = Counter((r["context"], r["source"]) for r in rows)
    for (context, source), times in seen.items():
        if times > 1:
            raise CatalogueError(f"{path}: {context} / {source!r} listed {times} times")
    for r in rows:
        where = f"{path}:{r['line']}"
        if not r["context"] or not r["source"]:
            raise CatalogueError(f"{where}: empty context or source")
        if not r["english"]:
            raise CatalogueError(f"{where}: {r['source']!r} has no English")
        if r["source"] != r["source"].strip() or r["english"] != r["english"].strip():
            raise CatalogueError(f"{where}: leading or trailing blanks")
        expected = expected_cross_section(r["source"])
        if expected is not None and r["english"] != expected:
            raise CatalogueError(f"{where}: {r['source']!r} must translate to {expected!r}")


def expected_cross_section(source):
    """English of a cross-section entry ("2.5平方" -> "2.5mm²"), else None."""
    if source == SQUARE:
        return SQUARE_EN
    match = CROSS_SECTION.match(source)
    return match.group(1) + SQUARE_EN if match else None


def by_context(rows):
    contexts = OrderedDict()
    for r in sorted(rows, key=lambda r: (r["context"], r["source"])):
        contexts.setdefault(r["context"], []).append(r)
    return contexts


def escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;").replace("'", "&apos;"))


def render(rows, language, translate):
    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        "<!DOCTYPE TS>",
        f'<TS version="2.1" language="{language}" sourcelanguage="zh_CN">',
    ]
    for context, messages in by_context(rows).items():
        lines += ["<context>", f"    <name>{escape(context)}</name>"]
        for r in messages:
            lines += [
                "    <message>",
                f"        <source>{escape(r['source'])}</source>",
                f"        <translation>{escape(translate(r))}</translation>",
                "    </message>",
            ]
        lines.append("</context>")
    lines.append("</TS>")
    return "\n".join(lines) + "\n"


def english(row):
    return row["english"]


def chinese(row):
    if row["source"] in ZH_EMPTY:
        return ""
    return ZH_PLACEHOLDERS.get(row["source"], row["source"])


def outputs(rows):
    return {EN_TS: render(rows, "en_US", english), ZH_TS: render(rows, "zh_CN", chinese)}


def main(argv):
    check_only = "--check" in argv[1:]
    try:
        rows = read_catalogue(CATALOGUE)
    except CatalogueError as error:
        print(error, file=sys.stderr)
        return 1
    stale = []
    for path, text in outputs(rows).items():
        current = path.read_text(encoding="utf-8") if path.exists() else None
        if current == text:
            continue
        if check_only:
            stale.append(path)
        else:
            path.write_text(text, encoding="utf-8", newline="\n")
            print(f"wrote {path.relative_to(ROOT)}")
    counts = Counter(r["context"] for r in rows)
    print(", ".join(f"{c} {n}" for c, n in sorted(counts.items())) + f"; total {len(rows)}")
    for path in stale:
        print(f"{path.relative_to(ROOT)} is out of step with {CATALOGUE.relative_to(ROOT)}", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
