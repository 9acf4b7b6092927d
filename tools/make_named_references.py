#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""Writes platform/web_band/markup/named_references.cpp: HTML's table of named character references
("&amp;", "&copy", "&NotNestedLessLess;" …), taken from Debian's python3-html5lib, sorted by
name for a binary search. Run from the repository root after an update of that table:

    /usr/bin/python3 tools/make_named_references.py
"""

from html5lib.constants import entities

OUT = "platform/web_band/markup/named_references.cpp"

HEAD = """\
// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Written by tools/make_named_references.py from HTML's table of named character references.
#include "named_references.h"

namespace zeravan::platform::markup {

// clang-format off
namespace {

constexpr NamedReference namedReferences[] = {
"""

TAIL = """\
};
// clang-format on

}  // namespace

std::span<const NamedReference> namedReferenceTable() {
    return namedReferences;
}

}  // namespace zeravan::platform::markup
"""


def entry(name):
    points = [ord(c) for c in entities[name]] + [0]
    return '{"%s", 0x%X, 0x%X},' % (name, points[0], points[1])


names = sorted(entities, key=lambda n: n.encode())
lines, line = [], ""
for name in names:
    text = entry(name)
    if line and len(line) + 1 + len(text) > 100:
        lines.append(line)
        line = ""
    line = (line + " " + text) if line else text
lines.append(line)
with open(OUT, "w", encoding="ascii") as out:
    out.write(HEAD + "\n".join(lines) + "\n" + TAIL)
print(f"{OUT}: {len(names)} references")
