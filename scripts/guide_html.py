#!/usr/bin/env python3
"""Turns the user's guide from Markdown into one HTML page that stands on its own: the
pictures it shows are written into the page, so it can be opened from any folder.

Usage: guide_html.py GUIDE.md OUT.html VERSION
Needs Python-Markdown (Debian: python3-markdown)."""
import base64
import html
import os
import re
import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "Segoe UI", Tahoma, Arial, sans-serif; font-size: 15px; line-height: 1.5;
       max-width: 50em; margin: 0 auto; padding: 1em 1.5em 3em; color: #1b1b1b; }}
h1, h2, h3 {{ line-height: 1.25; }}
h2 {{ border-bottom: 1px solid #ccc; padding-bottom: .2em; margin-top: 1.8em; }}
code {{ font-family: Consolas, "Courier New", monospace; background: #f3f3f3; padding: 0 .2em; }}
table {{ border-collapse: collapse; margin: 1em 0; }}
th, td {{ border: 1px solid #ccc; padding: .3em .6em; text-align: left; vertical-align: top; }}
th {{ background: #f3f3f3; }}
img {{ border: 1px solid #ccc; margin: .3em 1em .3em 0; }}
.toc ul {{ list-style: none; padding-left: 1em; }}
footer {{ margin-top: 3em; color: #666; font-size: 13px; }}
</style>
</head>
<body>
{body}
<footer>Keystrum {version}</footer>
</body>
</html>
"""

MIME = {".png": "image/png", ".gif": "image/gif", ".jpg": "image/jpeg", ".jpeg": "image/jpeg"}


def inline_images(body, base):
    def replace(match):
        src = html.unescape(match.group(2))
        path = os.path.join(base, src)
        mime = MIME.get(os.path.splitext(src)[1].lower())
        if "://" in src or src.startswith("data:") or not mime:
            return match.group(0)
        if not os.path.isfile(path):
            sys.exit(f"guide_html: the picture {src} is not in {base}")
        with open(path, "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return f'{match.group(1)}"data:{mime};base64,{data}"'

    return re.sub(r'(<img[^>]*?\ssrc=)"([^"]*)"', replace, body)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, target, version = sys.argv[1:]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    heading = re.search(r"^# (.+)$", text, re.MULTILINE)
    if not heading:
        sys.exit(f"guide_html: {source} has no title line (# ...)")
    body = markdown.markdown(text, extensions=["tables", "toc"], output_format="html")
    body = inline_images(body, os.path.dirname(os.path.abspath(source)))
    page = PAGE.format(title=html.escape(heading.group(1)), body=body, version=html.escape(version))
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()
