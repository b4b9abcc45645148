#!/usr/bin/env python3
"""Writes README.txt, the one document a Windows user gets, from the parts of
README.md between <!-- readme.txt --> and <!-- /readme.txt -->: headings
underlined, tables as "key: text" lines, markup dropped, paragraphs wrapped to
76 columns. Usage: readme_txt.py README.md README.txt"""
import re
import sys
import textwrap

WIDTH = 76


def plain(text):
    text = re.sub(r"\*\*(.+?)\*\*", r"\1", text)
    return text.replace("`", "")


def wrapped(text, first="", rest=""):
    return textwrap.fill(plain(text), WIDTH, initial_indent=first, subsequent_indent=rest,
                         break_long_words=False, break_on_hyphens=False)


def kept_lines(markdown):
    keep = False
    for line in markdown.splitlines():
        if line.strip() == "<!-- readme.txt -->":
            keep = True
        elif line.strip() == "<!-- /readme.txt -->":
            keep = False
            yield ""
        elif keep:
            yield line


def blocks(lines):
    """Paragraphs, list items and code lines, each as (kind, text)."""
    paragraph = []
    for line in lines + [""]:
        item = re.match(r"^(- |\d+\. )", line)
        if not line.strip() or item or line.startswith(("#", "|", "    ")):
            if paragraph:
                yield paragraph
            paragraph = []
        if not line.strip():
            continue
        if line.startswith(("#", "|", "    ")):
            yield [line]
        else:
            paragraph.append(line)


def convert(markdown):
    out = []
    previous = None
    for block in blocks(list(kept_lines(markdown))):
        first = block[0]
        item = re.match(r"^(- |\d+\. )", first)
        kind = ("table" if first.startswith("|") else "code" if first.startswith("    ")
                else "item" if item else "other")
        if kind != previous or kind == "other":
            out.append("")  # a table's rows, a list's items, a code block's lines stay together
        previous = kind
        if first.startswith("#"):
            title = plain(first.lstrip("#").strip())
            out += [title, ("=" if first.startswith("# ") else "-") * len(title)]
            previous = "heading"
        elif kind == "table":
            cells = [cell.strip() for cell in first.strip("|").split("|")]
            if set("".join(cells)) <= set("-: "):
                out.pop()  # the header row above the separator
                continue
            out.append(wrapped(cells[0] + ": " + " ".join(cells[1:]), "", "    "))
        elif first.startswith("    "):
            out.append(first)
        else:
            marker = item.group(1) if item else ""
            text = " ".join(line.strip() for line in block)[len(marker):]
            out.append(wrapped(text, marker, " " * len(marker)))
    text = "\n".join(out).strip("\n") + "\n"
    return re.sub(r"\n{3,}", "\n\n", text)


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as source:
        text = convert(source.read())
    with open(sys.argv[2], "w", encoding="utf-8", newline="\r\n") as target:
        target.write(text)
