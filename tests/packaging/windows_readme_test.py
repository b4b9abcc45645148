#!/usr/bin/env python3
"""README.txt as readme_txt.py makes it: the marked parts only, markup gone."""
import sys
import unittest
from pathlib import Path

root = Path(sys.argv.pop(1))
sys.path.insert(0, str(root / "packaging/windows"))
from readme_txt import convert  # noqa: E402

SAMPLE = """# Tool
left out
<!-- readme.txt -->
## Keys **now**

| Key | Command |
|---|---|
| `Control+N` | add a city |
| Delete | remove it |
Text after the table, long enough that it has to be wrapped at the seventy-sixth column.
- one
- `two`

    [service]
    api_key = x
<!-- /readme.txt -->
left out too
"""

EXPECTED = """Keys now
--------

Control+N: add a city
Delete: remove it

Text after the table, long enough that it has to be wrapped at the
seventy-sixth column.

- one
- two

    [service]
    api_key = x
"""


class WindowsReadmeTest(unittest.TestCase):
    def test_sample(self):
        self.assertEqual(convert(SAMPLE), EXPECTED)

    def test_the_readme(self):
        text = convert((root / "README.md").read_text(encoding="utf-8"))
        for markup in ("`", "**", "<!--", "|"):
            self.assertNotIn(markup, text)
        for part in ("Skyvigil\n========", "Keys\n----", "Which voice speaks on Windows", "/speak"):
            self.assertIn(part, text)
        for linux_only in ("KDE Plasma", "make test", "Releasing"):
            self.assertNotIn(linux_only, text)


if __name__ == "__main__":
    unittest.main()
