#!/usr/bin/env python3
"""Writes the user guide docs/user-guide.md as the word-processor document
VRTSV6.doc (RTF) that the Docs menu opens from the base directory. Pictures
become their captions; the program's own guide window shows them.

Usage: make_guide_doc.py [--check]   (default: write data/demo/VRTSV6.doc)
  --check  exit 1 when the document is not what the guide gives
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GUIDE = os.path.join(HERE, "..", "docs", "user-guide.md")
OUT = os.path.join(HERE, "..", "data", "demo", "VRTSV6.doc")


def esc(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) > 127:
            code = ord(ch)
            out.append("\\u%d?" % (code - 65536 if code > 32767 else code))
        else:
            out.append(ch)
    return "".join(out)


def inline(text):
    """Bold, code and links of one line of text, escaped."""
    parts = []
    pos = 0
    pattern = re.compile(r"\*\*(.+?)\*\*|`([^`]+)`|\[([^\]]+)\]\(([^)]+)\)")
    for m in pattern.finditer(text):
        parts.append(esc(text[pos:m.start()]))
        if m.group(1) is not None:
            parts.append("{\\b " + esc(m.group(1)) + "}")
        elif m.group(2) is not None:
            parts.append("{\\f1 " + esc(m.group(2)) + "}")
        else:
            parts.append(esc(m.group(3)))
        pos = m.end()
    parts.append(esc(text[pos:]))
    return "".join(parts)


def convert(md):
    out = ["{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Helvetica;}{\\f1 Courier New;}}\\fs22"]
    para = []
    in_code = False
    in_table = [False]

    def flush():
        if in_table[0]:
            out.append("\\par")
            in_table[0] = False
        if para:
            out.append(inline(" ".join(para)) + "\\par")
            out.append("\\par")
            para.clear()

    for raw in md.splitlines():
        line = raw.rstrip()
        if line.startswith("```"):
            flush()
            in_code = not in_code
            if not in_code:
                out.append("\\par")
            continue
        if in_code:
            out.append("{\\f1 " + esc(line) + "}\\par")
            continue
        heading = re.match(r"^(#{1,3}) +(.*)$", line)
        image = re.match(r"^!\[([^\]]*)\]\(([^)]+)\)$", line)
        bullet = re.match(r"^\s*[-*] +(.*)$", line)
        if heading:
            flush()
            size = {1: 32, 2: 26, 3: 24}[len(heading.group(1))]
            out.append("{\\b\\fs%d %s}\\par" % (size, inline(heading.group(2))))
            out.append("\\par")
        elif image:
            flush()
            out.append("{\\i [Picture: %s]}\\par" % esc(image.group(1)))
            out.append("\\par")
        elif line.startswith("|"):
            if not in_table[0]:
                flush()
            in_table[0] = True
            if re.match(r"^\|[-| :]+\|$", line):
                continue
            cells = [c.strip() for c in line.strip("|").split("|")]
            out.append(inline("  |  ".join(cells)) + "\\par")
        elif bullet:
            flush()
            para.append("\u2022 " + bullet.group(1))
        elif not line:
            flush()
        else:
            para.append(line.strip())
    flush()
    out.append("}")
    return "\r\n".join(out) + "\r\n"


def main():
    with open(GUIDE, encoding="utf-8") as f:
        doc = convert(f.read())
    if "--check" in sys.argv[1:]:
        try:
            with open(OUT, encoding="ascii", newline="") as f:
                same = f.read() == doc
        except OSError:
            same = False
        if not same:
            print("VRTSV6.doc is older than docs/user-guide.md: run scripts/make_guide_doc.py")
            return 1
        return 0
    with open(OUT, "w", encoding="ascii", newline="") as f:
        f.write(doc)
    return 0


if __name__ == "__main__":
    sys.exit(main())
