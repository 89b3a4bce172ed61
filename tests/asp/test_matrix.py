"""Every page of the generator's test projects, run.

The projects of the generator's golden tests (tests/generator/projects) cover
the page types, styles and option combinations. Each is generated with the
build's tvkwizard; every page then runs over tables made to fit its project:
first as opened, then every link and form of that output, then every form of
those results (edit rows posted back, added records inserted), and under
hostile request values.
"""

from __future__ import annotations

import os
import re
import unittest
from pathlib import Path

from harness import CompileError, PageRequest
from harness.crawl import parse
from harness.database import engine_dialect
from generated import ROOT, Workspace
from support import SESSION, TOKEN, harness, list_rows

PROJECTS = Path(os.environ.get("TVK_PAGE_PROJECTS", ROOT / "tests" / "generator" / "projects"))

# Request values that try to reach SQL or HTML, and what must not come through.
HOSTILE = {
    "PK": "1 OR 1=1",
    "CurrPage": "abc",
    "CurrRecord": "abc",
    "SortField": "1;DROP TABLE x",
    "SortOrder": "ASC;--",
}
SCRIPT = '"><script>alert(1)</script>'
FORBIDDEN_SQL = ("OR 1=1", "DROP TABLE", ";--", "<script")

# A project whose table and key have a blank in their names.
BLANK_NAMES = "form_order_items_listform.xml"


def _grouped(failures: list[tuple[str, str]]) -> str:
    """One paragraph per distinct message, naming the requests that got it."""
    by_message: dict[str, list[str]] = {}
    for where, message in failures:
        by_message.setdefault(message, []).append(where)
    parts = []
    for message, wheres in by_message.items():
        more = f" (and {len(wheres) - 1} more requests)" if len(wheres) > 1 else ""
        parts.append(f"{wheres[0]}{more}\n{message}")
    return "\n\n".join(parts)


def _key(page: str, query) -> tuple:
    q = dict(query)
    return (page, tuple(sorted(q)), q.get("DataAction"), q.get("SortField"), q.get("SortOrder"))


class GeneratorMatrix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        projects = sorted(PROJECTS.glob("*.xml"))
        if not projects:
            raise AssertionError(f"no generator test projects in {PROJECTS}")
        cls.ws = Workspace()
        cls.problems: list[str] = []
        cls.pages = []          # (project name, page name, compiled page, fixture, application)
        for path in projects:
            g = cls.ws.generate(path)
            errors = [line for line in g.report.splitlines() if line.startswith("Error")]
            for name in g.project.page_names():
                if name not in g.pages:
                    cls.problems.append(f"{path.name}: {name} was not generated\n{g.report}")
            if errors:
                cls.problems.append(f"{path.name}: generate reported errors\n{g.report}")
            fixture = g.project.synthetic_fixture()
            # Every request runs in one session, whose token the pages' forms carry.
            app = dict(SESSION, **g.project.application())
            compiled = {}
            for name, page_path in g.pages.items():
                try:
                    compiled[name] = h.compile(page_path, root=cls.ws.path)
                except CompileError as e:
                    cls.problems.append(f"{path.name}: {e}")
            for name, page in compiled.items():
                cls.pages.append((path.stem, name, page, fixture, app, compiled))

        def request(entry, query=(), form=()):
            _, name, page, fixture, app, compiled = entry
            return PageRequest(compiled.get(name, page), query=list(query), form=list(form),
                               fixture=fixture, application=app)

        # Level 1: each page as opened.
        first = [request(e) for e in cls.pages]
        cls.results = list(zip([(e, (), ()) for e in cls.pages], h.run_many(first)))

        # Levels 2 and 3: the links and forms of the outputs.
        level = cls.results
        for _ in range(2):
            follow = []
            seen = set()
            for (entry, query, _form), result in level:
                if not result.ok:
                    continue
                links, forms = parse(result.output)
                compiled = entry[5]
                for link in links:
                    target = link.target or entry[1]
                    if target not in compiled or _key(target, link.query) in seen:
                        continue
                    seen.add(_key(target, link.query))
                    e = next(x for x in cls.pages if x[2] is compiled[target])
                    follow.append(((e, tuple(link.query), ()), request(e, link.query)))
                for f in forms:
                    if f.method != "POST":
                        continue
                    target = f.action or entry[1]
                    if target not in compiled:
                        continue
                    e = next(x for x in cls.pages if x[2] is compiled[target])
                    # An empty ACTION posts to the page's own address, query and all.
                    q = query if not f.action else ()
                    for button in f.buttons or [None]:
                        posted = f.submit(button)
                        k = _key(target, list(q) + posted)
                        if k in seen:
                            continue
                        seen.add(k)
                        follow.append(((e, tuple(q), tuple(posted)), request(e, q, posted)))
            if not follow:
                break
            results = h.run_many([r for _, r in follow])
            level = list(zip([k for k, _ in follow], results))
            cls.results.extend(level)

        # Hostile request values, in the query string and in a posted form.
        attacks = []
        for e in cls.pages:
            for action in ("", "Edit"):
                attacks.append((e, request(e, query=dict(HOSTILE, DataAction=action).items())))
            for action in ("Update", "Delete", "Insert", "Cancel", "List"):
                attacks.append((e, request(e, form=dict(HOSTILE, DataAction=action, TVKToken=TOKEN).items())))
            scripted = {k: SCRIPT for k in HOSTILE}
            attacks.append((e, request(e, query=dict(scripted, DataAction="Edit").items())))
            attacks.append((e, request(e, form=dict(scripted, DataAction="Update", TVKToken=TOKEN).items())))
        cls.attacks = list(zip([a for a, _ in attacks], h.run_many([r for _, r in attacks])))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def describe(self, entry, query, form) -> str:
        return f"{entry[0]}/{entry[1]} query={list(query)} form={list(form)}"

    def test_a_project_without_a_dialect_keeps_brackets(self):
        # The stored projects keep no dialect, as those of older wizards; the
        # matrix generates them in this engine's. Generated as they stand,
        # a name with a blank is still bracketed, which SQLite reads (the
        # servers refuse it, and a project made against them stores their
        # dialect).
        path = PROJECTS / BLANK_NAMES
        stored = self.ws.generate(path, as_stored=True, out="as-stored")
        text = stored.pages["OrderItemsList.asp"].read_bytes().decode("cp1252")
        self.assertIn("FROM [Order Items] INNER JOIN", text)
        self.assertIn('"[Order Items].[Item ID]"', text)
        # The matrix's own copy quotes them as this engine does.
        dialect = engine_dialect()
        quote = "`" if dialect == "MySQL" else '""'
        made = next(e for e in self.pages if e[0] == path.stem and e[1] == "OrderItemsList.asp")
        text = made[2].path.read_bytes().decode("cp1252")
        self.assertIn(f"FROM {quote}Order Items{quote} INNER JOIN", text)
        self.assertNotIn("[Order Items]", text)
        if dialect != "SQLite":
            return
        page = harness().compile(stored.pages["OrderItemsList.asp"], root=self.ws.path)
        r = harness().run(page, fixture=made[3], application=made[4])
        r.assert_ok()
        self.assertTrue(any("FROM [Order Items]" in t for t in r.sql()), r.sql())
        self.assertTrue(list_rows(r.output), r.output[:2000])

    def test_projects_generate(self):
        if self.problems:
            self.fail("\n\n".join(self.problems))
        self.assertGreater(len(self.pages), 0)

    def test_every_page_compiles(self):
        failures = [(self.describe(*k), r.message()) for k, r in self.results
                    if r.status == "compile_error"]
        if failures:
            self.fail(_grouped(failures))

    def test_every_page_link_and_form_runs(self):
        failures = [(self.describe(*k), r.message()) for k, r in self.results
                    if not r.ok]
        if failures:
            self.fail(_grouped(failures))
        # The crawl went past the first page: links and posted forms ran too.
        self.assertGreater(len(self.results), 2 * len(self.pages))

    def test_a_missing_end_if_in_a_generated_page_names_its_file_and_line(self):
        # Take a generated page, drop the "End If" of a simple block If (no
        # Else, no If inside) in a routine, and run the copy: the failure
        # must name the copy and the line of that If.
        _, name, page, fixture, app, _ = self.pages[0]
        lines = page.path.read_bytes().decode("cp1252").split("\r\n")
        stack, target, in_routine = [], None, False
        for n, line in enumerate(lines, 1):
            text = line.strip()
            if re.match(r"(Sub|Function) ", text):
                in_routine = True
            if re.match(r"If .* Then$", text):
                if stack:
                    stack[-1][1] = False
                stack.append([n, True])
            elif re.match(r"Else(If .*)?$", text) and stack:
                stack[-1][1] = False
            elif text == "End If" and stack:
                opened, simple = stack.pop()
                if in_routine and simple and target is None:
                    target = (opened, n)
        self.assertIsNotNone(target, f"{name} has no simple block If inside a routine")
        opened, closing = target
        broken = page.path.with_name("Broken" + page.path.name)
        broken.write_bytes("\r\n".join(lines[:closing - 1] + [""] + lines[closing:]).encode("cp1252"))
        r = harness().run(harness().compile(broken, root=self.ws.path), fixture=fixture, application=app)
        self.assertEqual(r.status, "compile_error", r.message())
        self.assertEqual(r.where.path, str(broken))
        self.assertGreater(r.where.line, closing - 1, r.message())
        self.assertIn(f"'If' block opened at {broken.relative_to(self.ws.path)}:{opened} "
                      "(missing 'End If'?)", r.message())

    def test_hostile_values_reach_neither_sql_nor_html(self):
        failures = []
        for entry, r in self.attacks:
            where = f"{entry[0]}/{entry[1]} {r.request.query or r.request.form}"
            for text in r.sql():
                # A value inside a properly quoted literal is data, not SQL.
                code = re.sub(r"'(?:[^']|'')*'", "''", text)
                for bad in FORBIDDEN_SQL:
                    if bad.lower() in code.lower():
                        failures.append(f"{where}: the database received {text!r}")
            if re.search(r"<\s*script", r.output, re.I):
                at = r.output.lower().find("<script")
                failures.append(f"{where}: unencoded script in the page: {r.output[max(at - 80, 0):at + 40]!r}")
        if failures:
            self.fail("\n".join(sorted(set(failures))))

    def test_hostile_values_do_not_break_the_page(self):
        failures = [(f"{entry[0]}/{entry[1]} {r.request.query or r.request.form}", r.message())
                    for entry, r in self.attacks if not r.ok]
        if failures:
            self.fail(_grouped(failures))


if __name__ == "__main__":
    unittest.main()
