#!/usr/bin/env python3
"""README.txt, as scripts/make-readme-txt.py makes it from README.md, names every word of the
command line, every key and every menu item of the program: each is read from the program's own
table of them in src/, so a new one fails this check until the text tells users of it.

Prints what is missing (and any table no longer found) and exits 1; prints a summary and exits 0 otherwise.
    scripts/check-readme.py [README.md]
"""
import importlib.util
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "..", "src")
# (file, array, what its strings are): the arrays the program itself builds its words, keys and menus from.
TABLES = [
    ("core/CommandLine.h", "WordTexts", "word"),
    ("core/CommandLine.cpp", "kSwitchKeywords", "word"),
    ("core/CommandLine.cpp", "kValueKeywords", "word"),
    ("core/LogoMenu.cpp", "logo", "menu item"),
    ("core/LogoMenu.cpp", "size", "menu item"),
    ("core/LogoMenu.cpp", "turn", "menu item"),
    ("pin/PopupMenu.cpp", "kItemKeys", "key"),
    ("pin/PopupMenu.cpp", "turnKeys", "key"),
    ("core/LogoMenu.cpp", "edge", "menu item"),
    ("core/Preferences.cpp", "kDefaultKeys", "key"),
    ("core/Preferences.cpp", "kKeyTitles", "menu item"),
    ("app/NotificationIcon.cpp", "kCaptions", "menu item"),
    ("app/AboutMenu.cpp", "kCaptions", "menu item"),
]


def strings_of(path, array):
    # The wide string literals between "array[] = {" and the "};" that ends it.
    with open(os.path.join(SRC, path), encoding="utf-8") as f:
        code = f.read()
    start = re.search(r"\b%s\s*\[\s*\]\s*=\s*\{" % re.escape(array), code)
    if not start:
        return None
    body = code[start.end():code.index("};", start.end())]
    escapes = {"t": "\t", "n": "\n"}
    return [re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)), s) for s in re.findall(r'L"((?:[^"\\]|\\.)*)"', body)]


def named(text, codes, name, kind):
    # A word or key is named as code (`leftN`, `]`) or at the head of a table's row, so that
    # prose ("the left button", "up to 4 GB") never stands for one; a menu item stands on its
    # own anywhere, case and all.
    name = name.replace("&", "").strip()
    if kind != "menu item":
        after = r"(?![a-z])" if kind == "word" else r"(?![\w+])"
        return any(re.search(r"(?<![\w+])" + re.escape(name) + after, code) for code in codes)
    return re.search(r"(?<![\w+])" + re.escape(name) + r"(?![\w+])", text) is not None


def main():
    readme = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "README.md")
    found = importlib.util.spec_from_file_location("make_readme_txt", os.path.join(HERE, "make-readme-txt.py"))
    maker = importlib.util.module_from_spec(found)
    found.loader.exec_module(maker)
    with open(readme, encoding="utf-8") as f:
        markdown = f.read()
    text = " ".join(maker.make(markdown).split())  # a name may be wrapped across lines
    user = "\n".join("\n".join(block) for block in maker.user_blocks(markdown, ""))
    # Code spans, and the first cell of each table's rows (where the keys' table names them).
    codes = re.findall(r"`([^`]+)`", user) + re.findall(r"^\|([^|\n]*)\|", user, re.M)
    faults, checked = [], 0
    for path, array, kind in TABLES:
        names = strings_of(path, array)
        if not names:
            faults.append("src/%s: no table %s[] = {...} of %ss to check" % (path, array, kind))
            continue
        for name in names:
            if name.strip() in ("", "-"):
                continue
            checked += 1
            if not named(text, codes, name, kind):
                faults.append('README.txt does not name the %s "%s" (src/%s, %s)' % (kind, name.replace("&", "").strip(), path, array))
    for fault in faults:
        print("check-readme: " + fault)
    if faults:
        sys.exit(1)
    print("check-readme: README.txt names all %d words, keys and menu items of the program's tables" % checked)


if __name__ == "__main__":
    main()
