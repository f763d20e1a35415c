#!/usr/bin/env python3
"""Checks the players' README.txt: the conversion of each Markdown mark,
code kept to the character, CR LF line ends, and that the page the zip
carries holds the launch options of the developers' README exactly.

    python3 tools/players_readme_test.py
"""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import players_readme  # noqa: E402


def read(relative):
    with open(os.path.join(ROOT, relative), encoding="utf-8") as source:
        return source.read()


class ConversionTest(unittest.TestCase):
    def test_each_mark(self):
        cases = [
            ("# Gatehouse", "Gatehouse\n=========\n"),
            ("## The mod list", "The mod list\n------------\n"),
            ("Run `gatehouse list` now.", "Run gatehouse list now.\n"),
            ("**Red**: blocked, `**not bold**`", "Red: blocked, **not bold**\n"),
            ("See [the page](https://example.org/x).", "See the page (https://example.org/x).\n"),
            # Code, at the top level and inside a list item, keeps every mark.
            ("Set:\n\n    bash -c '[[ $a == *X.exe ]]' `x` **y**\n",
             "Set:\n\n    bash -c '[[ $a == *X.exe ]]' `x` **y**\n"),
            ("1. Set `this`\n   and **that**:\n\n       \"C:\\G\\Gatehouse.exe\" %command%\n\n   Done.\nAfter.",
             "1. Set this\n   and that:\n\n       \"C:\\G\\Gatehouse.exe\" %command%\n\n   Done.\nAfter.\n"),
        ]
        for markdown, text in cases:
            with self.subTest(markdown=markdown):
                self.assertEqual(players_readme.to_text(markdown), text)

    def test_every_line_ends_in_cr_lf(self):
        text = players_readme.convert("# A\n\nb  \n\n    c\n")
        self.assertEqual(text, b"A\r\n=\r\n\r\nb\r\n\r\n    c\r\n")

    def test_text_outside_ascii_is_refused(self):
        with self.assertRaisesRegex(ValueError, "line 2"):
            players_readme.convert("fine\nit\u2019s not\n")


class PlayersPageTest(unittest.TestCase):
    def test_the_page_carries_the_readmes_launch_options_to_the_character(self):
        # The launch options are the code lines of README.md that end in %command%.
        options = [line.strip() for line in read("README.md").splitlines()
                   if line.startswith("    ") and line.endswith(" %command%")]
        self.assertEqual(len(options), 2, "README.md's launch options for Windows and Proton")
        text = players_readme.convert(read("docs/players.md")).decode("ascii")
        lines = [line.strip() for line in text.split("\r\n")]
        for line in options:
            self.assertIn(line, lines)


if __name__ == "__main__":
    unittest.main()
