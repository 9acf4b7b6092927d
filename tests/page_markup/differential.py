#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""differential.py TOOL CORPUS SEEDS WORK: each case of CORPUS and every seed in SEEDS goes
through TOOL (page_markup_text, the band's reading) and through html5lib (the oracle: HTML's
parsing and encoding sniffing as browsers do them); what a reader sees must be the same.

What a reader sees: the page's text as laid out, without what browsers never show (script,
style, template, title, noscript, iframe, noembed and noframes content; elements with the
hidden attribute or display: none) and without C0 controls other than blanks, where every run
of blanks (any of Unicode's: no-break spaces, line and paragraph separators too) is one space, and where blocks
(paragraphs, table cells, list items, line breaks …) are apart by a blank; and the pictures
asked for: the sources of the pictures shown, in order, the first eight that name anything.
Of an svg, browsers draw as text only what its <text> and foreignObject elements hold.

A CORPUS line is EXPECT TAB CONTENT-TYPE TAB BODY, or EXPECT TAB SEED for a seed's file. BODY is
Python string literals one after the other, each optionally times a count: "<pre>" "\\n"*9; a
"..." literal is written in UTF-8, a b"..." literal is bytes as given. EXPECT is
  same     the band shows what a browser shows;
  refused  the band refuses the page (too deep, too much, too big) and keeps its own page;
  differs  a known difference from html5lib, its reason in a comment: fails once it is the same.
Lines starting with # are comments. Every seed must have a line.
"""

import ast
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import html5lib

NEVER_SHOWN = {"script", "style", "template", "title", "noscript", "iframe", "noembed", "noframes"}
BLOCKS = set(
    "address article aside blockquote body br caption center dd details dialog dir div dl dt "
    "fieldset figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr html li listing "
    "main menu nav ol p plaintext pre section summary table tbody td textarea tfoot th thead tr "
    "ul xmp".split())
SVG = "{http://www.w3.org/2000/svg}"
SVG_TEXT = {SVG + "text", SVG + "foreignObject"}
LITERAL = re.compile(r'\s*(b?"(?:[^"\\]|\\.)*"|b?\'(?:[^\'\\]|\\.)*\')(?:\s*\*\s*(\d+))?')
BLANKS = re.compile(r"\s+")
CONTROLS = re.compile("[\x00-\x08\x0b\x0e-\x1f\ufffc]")


def body_bytes(field):
    data, pos = b"", 0
    while pos < len(field.rstrip()):
        match = LITERAL.match(field, pos)
        if not match:
            raise ValueError(f"not a string literal at {field[pos:pos + 20]!r}")
        value = ast.literal_eval(match.group(1))
        value = value if isinstance(value, bytes) else value.encode("utf-8")
        data += value * int(match.group(2) or 1)
        pos = match.end()
    return data


def seen(text):
    return BLANKS.sub(" ", CONTROLS.sub("", text)).strip()


def hides(element):
    if element.get("hidden") is not None:
        return True
    display = None
    for declaration in (element.get("style") or "").split(";"):
        name, colon, value = declaration.partition(":")
        if colon and name.strip().lower() == "display":
            display = value.split("!")[0].strip().lower()
    return display == "none"


def element_text(element, out, pictures, drawn=True):
    """drawn: what stands in the element's parent is shown."""
    tail = (element.tail or "") if drawn else ""
    tag = element.tag if isinstance(element.tag, str) else None
    if tag is None or tag in NEVER_SHOWN or hides(element):  # a comment, or not shown
        out.append(tail)
        return
    source = (element.get("src") or "").strip(" \t\n\f\r")
    if tag == "img" and source and len(pictures) < 8 and drawn:
        pictures.append(source)
    shown = tag in SVG_TEXT or (drawn and tag != SVG + "svg")
    block = tag in BLOCKS
    out.append(" " if block else "")
    out.append((element.text or "") if shown else "")
    for child in element:
        element_text(child, out, pictures, shown)
    out.append(" " if block else "")
    out.append(tail)


def oracle_text(content_type, data):
    charset = re.search(r";\s*charset\s*=\s*\"?([^\";\s]+)", content_type, re.I)
    document = html5lib.parse(data, treebuilder="etree", namespaceHTMLElements=False,
                              transport_encoding=charset.group(1) if charset else None,
                              default_encoding="utf-8", useChardet=False, scripting=True)
    out, pictures = [], []
    element_text(document, out, pictures)
    return seen("".join(out)), pictures


def cases(corpus, seeds):
    named = set()
    with open(corpus, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            where = f"{os.path.basename(corpus)}:{number}"
            if len(fields) == 2:
                named.add(fields[1])
                with open(os.path.join(seeds, fields[1]), "rb") as seed:
                    header, _, data = seed.read().partition(b"\n")
                yield fields[0], f"seed {fields[1]}", header.decode("latin-1"), data
            else:
                yield fields[0], where, fields[1], body_bytes(fields[2])
    for missing in sorted(set(os.listdir(seeds)) - named):
        yield "same", f"seed {missing} (no corpus line)", None, None


def main(tool, corpus, seeds, work):
    os.makedirs(work, exist_ok=True)
    all_cases = list(cases(corpus, seeds))
    files = []
    for index, (_, _, content_type, data) in enumerate(all_cases):
        files.append(os.path.join(work, f"case{index}"))
        with open(files[-1], "wb") as out:
            out.write((content_type or "").encode("latin-1") + b"\n" + (data or b""))
    output = subprocess.run([tool, *files], check=True, capture_output=True).stdout
    results = [json.loads(line) for line in output.decode("utf-8").splitlines()]
    failures = 0
    counts = {"same": 0, "refused": 0, "differs": 0}
    for (expect, where, content_type, data), result in zip(all_cases, results, strict=True):
        if content_type is None:
            print(f"FAIL {where}: every seed needs a line in the corpus")
            failures += 1
            continue
        band = (seen(result["text"]), result["pictures"]) if result["accepted"] else None
        oracle = oracle_text(content_type, data) if expect != "refused" else None
        ok = {"same": band == oracle and band is not None,
              "refused": band is None,
              "differs": band is not None and band != oracle}[expect]
        counts[expect] += ok
        if not ok:
            failures += 1
            print(f"FAIL {where} ({expect})\n  band:     {band!r}\n  html5lib: {oracle!r}")
        elif expect == "differs":
            print(f"known difference {where}\n  band:     {band!r}\n  html5lib: {oracle!r}")
    passed = len(all_cases) - failures
    print(f"{counts['same']} the same, {counts['refused']} refused as expected, "
          f"{counts['differs']} known differences")
    print(f"{passed} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
