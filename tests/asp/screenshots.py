#!/usr/bin/env python3
"""Screenshots of the generated pages, for the README.

    tests/asp/screenshots.py [output directory]     (default docs/screenshots)

Makes the sample database and its Orders project (`tvkwizard demo`), and for
each of the four styles generates the pages, runs them in the page harness
over the sample data (SQLite) and has Chromium take a picture of what they
write: the list page (page-<style>-list.png), the list with a record open in
its edit row (page-<style>-edit.png, from a List project of the same table)
and the form page (page-<style>-form.png). The pages' output is saved beside
their stylesheet and images, so the pictures show them as a browser would.

Needs Wine, node with playwright-core (scripts/install-deps) and
/usr/bin/chromium; TVK_BINARY_DIR names the build (default build/).
"""

from __future__ import annotations

import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
sys.path.insert(0, str(HERE))

from harness import Fixture, Harness, PageRequest  # noqa: E402
from harness.fixture import wizard_binary  # noqa: E402
from harness.project import Project, generate  # noqa: E402

STYLES = ("Basic", "Classic", "Professional", "XP")


def variant(source: Path, out: Path, style: str, list_only: bool) -> Project:
    """The demo project in `style`; as a List project with inline editing
    when `list_only`."""
    tree = ET.parse(source)
    root = tree.getroot()
    root.find("ProjectStyle").text = style
    if list_only:
        root.find("ProjectType").text = "List"
        options = root.find("ListOptions")
        for i, flag in enumerate(("AllowAddRecord", "AllowUpdateRecord", "AllowDeleteRecord")):
            node = options.find(flag)
            if node is None:
                node = ET.Element(flag)
                options.insert(i, node)
            node.text = "TRUE"
    path = out / ("edit-" if list_only else "") / f"{style}.xml"
    path.parent.mkdir(parents=True, exist_ok=True)
    tree.write(path, encoding="UTF-8", xml_declaration=True)
    return Project.load(path)


def main() -> int:
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "screenshots"
    os.environ.setdefault("TVK_BINARY_DIR", str(ROOT / "build"))
    binary = wizard_binary()
    work = Path(tempfile.mkdtemp(prefix="tvk-shots-"))
    harness = Harness(workers=2)
    try:
        subprocess.run([str(binary), "demo", str(work / "demo")], check=True, capture_output=True, timeout=120)
        fixture = Fixture.from_file(ROOT / "data" / "samples" / "orders.sql")
        orders = next(t for t in fixture.tables if t["name"] == "Orders")
        first = orders["rows"][0][0]
        shots, requests = [], []
        for style in STYLES:
            for list_only in (False, True):
                project = variant(work / "demo" / "Orders.xml", work / "projects", style, list_only)
                g = generate(binary, project, work / "site" / ("edit-" if list_only else "") / style)
                if g.returncode != 0:
                    raise SystemExit(f"generating the {style} pages failed:\n{g.report}")
                app = project.application()
                if list_only:
                    page = harness.compile(g.pages["OrdersList.asp"])
                    requests.append(("edit", style, g.page_dir, PageRequest(
                        page, query=[("DataAction", "Edit"), ("PK", str(first)), ("CurrPage", "1")],
                        fixture=fixture, application=app)))
                else:
                    requests.append(("list", style, g.page_dir, PageRequest(
                        harness.compile(g.pages["OrdersList.asp"]), fixture=fixture, application=app)))
                    requests.append(("form", style, g.page_dir, PageRequest(
                        harness.compile(g.pages["OrdersForm.asp"]), query=[("PK", str(first))],
                        fixture=fixture, application=app)))
        results = harness.run_many([r[3] for r in requests])
        for (kind, style, page_dir, _), result in zip(requests, results):
            result.assert_ok()
            html = page_dir / f"shot-{kind}.html"
            html.write_text(result.output, encoding="cp1252", errors="replace")
            shots.append({"html": str(html), "png": str(target / f"page-{style.lower()}-{kind}.png")})
        target.mkdir(parents=True, exist_ok=True)
        subprocess.run(["node", str(HERE / "screenshots.mjs")], input=json.dumps(shots), text=True,
                       check=True, timeout=300, cwd=ROOT)
        for s in shots:
            print(s["png"])
        return 0
    finally:
        harness.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
