#!/usr/bin/env python3
"""README.txt, the plain text that ships beside Velvane.exe, made from README.md so that users
read one text: its title, then only the parts between <!-- user --> and <!-- /user -->, for
Notepad (CRLF, lines of at most 78 columns, no Markdown marks, tables as aligned columns).

    scripts/make-readme-txt.py [--version VERSION] README.md README.txt    (- writes to stdout)
"""
import re
import sys
import textwrap

WIDTH = 78
# Notepad before Windows 10 reads a file without a byte order mark as the ANSI code page.
PLAIN = {"\u00b7": "-", "\u00d7": "x", "\u2013": "-", "\u2014": "--", "\u2018": "'", "\u2019": "'", "\u201c": '"',
         "\u201d": '"', "\u2026": "...", "\u00a0": " "}


def inline(text):
    text = re.sub(r"<!--.*?-->", "", text)
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)
    text = re.sub(r"\*\*(.+?)\*\*", r"\1", text)
    text = text.replace("`", "").replace("\\|", "|")
    return " ".join(text.split())


def wrap(text, first="", rest=""):
    return textwrap.wrap(text, WIDTH, initial_indent=first, subsequent_indent=rest, break_long_words=False,
                         break_on_hyphens=False) or [first.rstrip()]


def cells(row):
    return [inline(c) for c in re.split(r"(?<!\\)\|", row.strip().strip("|"))]


def table(rows):
    # The first column padded to one width, the rest wrapped beside it; a first cell too wide for
    # that stands on a line of its own.
    rows = [cells(r) for r in rows if not re.fullmatch(r"[\s|:-]+", r)]
    key = min(max(len(r[0]) for r in rows), 26)
    lines = []
    for r in rows:
        meaning = " - ".join(c for c in r[1:] if c)
        if len(r[0]) > key:
            lines += ["  " + r[0]] + wrap(meaning, " " * (key + 4), " " * (key + 4))
        else:
            lines += wrap(meaning, "  " + r[0].ljust(key) + "  ", " " * (key + 4))
    return lines


def block(lines):
    first = lines[0]
    if first.startswith("#"):
        title = inline(first.lstrip("#"))
        return [title, ("=" if first.startswith("# ") else "-") * len(title)]
    if first.startswith("!["):
        return []
    if first.startswith("|"):
        return table(lines)
    if all(line.startswith("    ") for line in lines):
        return lines
    if first.startswith("- "):
        items, out = [], []
        for line in lines:
            if line.startswith("- "):
                items.append(line[2:])
            else:
                items[-1] += " " + line.strip()
        for item in items:
            out += wrap(inline(item), "  - ", "    ")
        return out
    return wrap(inline(" ".join(lines)))


def user_blocks(markdown, version):
    # Blocks of lines parted by blank lines: the title, then those inside the user's parts.
    blocks, current, inside = [], [], False
    for line in markdown.splitlines():
        line = line.rstrip()
        marker = line.strip()
        if marker in ("<!-- user -->", "<!-- /user -->"):
            inside = marker == "<!-- user -->"
            line = ""
        elif line.startswith("# ") and not blocks and not current:
            blocks.append([line + (" " + version if version else "")])
            continue
        if not line or not inside:
            if current:
                blocks.append(current)
            current = []
            continue
        current.append(line)
    if current:
        blocks.append(current)
    return blocks


def make(markdown, version=""):
    out = []
    for lines in user_blocks(markdown, version):
        text = block(lines)
        if text:
            out += ([""] if out else []) + text
    text = "\r\n".join(out) + "\r\n"
    if version:
        text = text.replace("<version>", version)
    for fancy, plain in PLAIN.items():
        text = text.replace(fancy, plain)
    return text


def main():
    args, version = sys.argv[1:], ""
    if args[:1] == ["--version"]:
        version, args = args[1], args[2:]
    if len(args) != 2:
        sys.exit(__doc__)
    with open(args[0], encoding="utf-8") as f:
        text = make(f.read(), version)
    # Anything left beyond ASCII goes as UTF-8 with its mark, which every Notepad reads.
    data = text.encode("ascii") if text.isascii() else "\ufeff".encode() + text.encode()
    if args[1] == "-":
        sys.stdout.buffer.write(data)
    else:
        with open(args[1], "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
