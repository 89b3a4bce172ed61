"""Hostile text in the data: every page of every project over tables whose
text columns (keys, lookup texts and long texts included) hold quotes,
markup, script delimiters and line breaks, as opened and after following
every link and form of that output once.

A stored value may break neither the page's markup nor its links: no raw
hostile text appears in the output, and an Edit link whose key holds "&",
"#", "+", a quote or "<" still opens that record's edit row or form.
"""

from __future__ import annotations

import os
import unittest
from pathlib import Path

from harness import CompileError, Fixture, PageRequest
from harness.crawl import parse
from generated import ROOT, Workspace
from support import HERE, SESSION, harness, project_fixture

PROJECTS = Path(os.environ.get("TVK_PAGE_PROJECTS", ROOT / "tests" / "generator" / "projects"))

TEXT_TYPES = (8, 72, 129, 130, 200, 201, 202, 203)
HOSTILE = ['a&b"<x\'', "%>", "<%", "</textarea>", "<script>", "a\r\nb", "&", "#", "+", '"', "<"]
# What may never stand in a page's output as it is: each would end an
# attribute, a text area or the script, or start markup.
RAW = ['"<x\'', "</textarea>", "<script>", "<%", "%>"]


def hostile_text(value: str, size: int) -> str:
    """The value with a hostile prefix (the same for the same value, so that
    lookups still join); the value itself stays whole, so keys stay unique."""
    prefix = HOSTILE[sum(map(ord, value)) % len(HOSTILE)]
    if size:
        prefix = prefix[:max(0, size - len(value))]
    return prefix + value


def hostile(fx: Fixture) -> Fixture:
    tables = []
    for t in fx.tables:
        cols = t["columns"]
        rows = [[hostile_text(v, c["size"]) if isinstance(v, str) and c["type"] in TEXT_TYPES else v
                 for v, c in zip(row, cols)] for row in t["rows"]]
        tables.append(dict(t, rows=rows))
    return Fixture(tables)


class HostileData(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        cls.problems = []
        entries = []     # (project, page name, compiled pages, fixture, application)
        projects = sorted(PROJECTS.glob("*.xml")) + sorted((HERE / "projects").glob("*.xml"))
        for path in projects:
            g = cls.ws.generate(path)
            project = g.project
            local = path.parent == HERE / "projects"
            fx = hostile(project_fixture("shop.sql") if local else project.synthetic_fixture())
            app = dict(SESSION, **project.application())
            compiled = {}
            for name, page_path in g.pages.items():
                try:
                    compiled[name] = h.compile(page_path, root=cls.ws.path)
                except CompileError as e:
                    cls.problems.append(f"{path.name}: {e}")
            for name in compiled:
                entries.append((path.stem, name, compiled, fx, app))
        if not entries:
            raise AssertionError("no pages to run")

        def request(entry, target, query=(), form=()):
            return PageRequest(entry[2][target], query=list(query), form=list(form),
                               fixture=entry[3], application=entry[4])

        first = [(e, e[1], (), ()) for e in entries]
        cls.results = list(zip(first, h.run_many([request(*x) for x in first])))
        follow = []
        for (e, target, _, _), r in cls.results:
            if not r.ok:
                continue
            links, forms = parse(r.output)
            for link in links:
                t = link.target or target
                if t in e[2]:
                    follow.append((e, t, tuple(link.query), ()))
            for f in forms:
                t = f.action or target
                if f.method == "POST" and t in e[2]:
                    for button in f.buttons or [None]:
                        follow.append((e, t, (), tuple(f.submit(button))))
        cls.results += list(zip(follow, h.run_many([request(*x) for x in follow])))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    @staticmethod
    def where(key) -> str:
        e, target, query, form = key
        return f"{e[0]}/{target} query={list(query)} form={list(form)}"

    def test_every_page_runs(self):
        self.assertEqual(self.problems, [])
        failures = [f"{self.where(k)}\n{r.message()}" for k, r in self.results if not r.ok]
        if failures:
            self.fail(f"{len(failures)} of {len(self.results)} requests failed:\n\n" + "\n\n".join(failures[:8]))

    def test_no_hostile_text_reaches_the_output_as_it_is(self):
        failures = []
        for k, r in self.results:
            out = r.output.replace("=100%>", "=100%")   # the page's own markup
            for raw in RAW:
                at = out.find(raw)
                if at >= 0:
                    failures.append(f"{self.where(k)}: {raw!r} in {out[max(at - 100, 0):at + 40]!r}")
                    break
        if failures:
            self.fail(f"{len(failures)} pages:\n" + "\n".join(failures[:12]))

    def test_edit_links_open_their_record(self):
        checked = 0
        failures = []
        for (e, target, query, form), r in self.results:
            q = dict(query)
            if q.get("DataAction") != "Edit" or "PK" not in q or not r.ok:
                continue
            checked += 1
            if target.endswith("List.asp"):
                if 'CLASS="EditLine"' not in r.output:
                    failures.append(f"{self.where((e, target, query, form))}: no edit row")
            else:
                keys = [v for f in parse(r.output)[1] for n, v in f.fields if n == "PK"]
                if q["PK"] not in keys:
                    failures.append(f"{self.where((e, target, query, form))}: the form shows {keys}")
        self.assertGreater(checked, 0)
        if failures:
            self.fail("\n".join(failures))


if __name__ == "__main__":
    unittest.main()
