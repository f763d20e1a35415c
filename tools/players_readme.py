#!/usr/bin/env python3
"""Makes the README.txt of the Windows zip from the players' page, for
Notepad and every other Windows editor:

    python3 tools/players_readme.py docs/players.md OUT.txt

The text keeps the page's lines and drops the Markdown marks that would be
read as noise: headings become their words underlined, `code` and **bold**
their words, [a link](address) "a link (address)". Code blocks, indented
four spaces beyond their paragraph or list item, are copied as they are,
so commands keep every character. Lines end in CR LF. Only ASCII is
accepted, as older editors would guess any other encoding wrong.
"""

import re
import sys

LIST_ITEM = re.compile(r"( *)(?:[-*]|\d+\.) +")
CODE_SPAN = re.compile(r"`([^`]+)`")
BOLD = re.compile(r"\*\*(.+?)\*\*")
LINK = re.compile(r"\[([^\]]+)\]\(([^)]+)\)")


def plain_inline(line):
    """`line` without its inline marks; code spans first, so that what they
    hold is never taken for a mark."""
    pieces = CODE_SPAN.split(line)  # even: prose, odd: code
    for i in range(0, len(pieces), 2):
        pieces[i] = LINK.sub(r"\1 (\2)", BOLD.sub(r"\1", pieces[i]))
    return "".join(pieces)


def to_text(markdown):
    """The plain text of `markdown`, with "\\n" line ends."""
    out = []
    content = 0  # where the current list item's text starts; 0 outside lists
    for line in markdown.splitlines():
        line = line.rstrip()
        if not line:
            out.append("")
            continue
        indent = len(line) - len(line.lstrip(" "))
        if indent >= content + 4:
            out.append(line)  # code: every character as it is
            continue
        item = LIST_ITEM.match(line)
        if item:
            content = item.end()
        elif indent == 0:
            content = 0
        heading = re.match(r"(#{1,6}) +(.*)", line)
        if heading:
            words = plain_inline(heading.group(2))
            out += [words, ("=" if len(heading.group(1)) == 1 else "-") * len(words)]
        else:
            out.append(plain_inline(line))
    return "\n".join(out).strip("\n") + "\n"


def convert(markdown):
    """The README.txt bytes of `markdown`."""
    for number, line in enumerate(markdown.splitlines(), 1):
        if not line.isascii():
            raise ValueError(f"line {number} holds characters outside ASCII: {line!r}")
    return to_text(markdown).replace("\n", "\r\n").encode("ascii")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as source:
        markdown = source.read()
    try:
        text = convert(markdown)
    except ValueError as error:
        sys.stderr.write(f"players_readme: {argv[1]}: {error}\n")
        return 1
    with open(argv[2], "wb") as target:
        target.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
