"""Hostile texts in the project and the schema: a field name, labels, a
hand-made list's values, the connection string and the stylesheet and
graphics folders hold quotes, script delimiters, markup and line breaks.

Each lands in the pages written for its place (inside a VBScript string, an
HTML attribute, a URL, or HTML text), so the pages compile and run, the
markup keeps its shape, and a label's own markup comes through as given.
"""

from __future__ import annotations

import re
import unittest
import xml.etree.ElementTree as ET

from harness import Fixture, PageRequest
from harness.crawl import parse
from harness.project import Project
from generated import Workspace
from support import HERE, TOKEN, harness, list_rows, run_all, sql_name

FIELD = 'Say "hi" %> <% \'x\' </textarea> <script>'
LABEL = 'Name "<b>bold</b>" %> <% it\'s\r\nnext'
LIST_TEXT = 'So "so" %> <% </textarea> <script>\r\nend'
CONNECTION = 'Driver={SQLite3};Database=shop "%> <%.db'
STYLES = 'st "y\'%>les'
GRAPHICS = 'gr <%a> #&'
# Raw texts a page may not write as they are.
RAW = ["%>", "<%", "</textarea>", "<script>"]


def hostile_project() -> Project:
    project = Project.load(HERE / "projects" / "catalog_listform.xml")
    root = project.root
    root.find("DatabaseConnection/ConnectionStringText").text = CONNECTION
    root.find("StylesheetDirectory").text = "/web/shop/" + STYLES
    root.find("GraphicsDirectory").text = "/web/shop/" + GRAPHICS
    for f in root.findall("Fields/Field"):
        name = f.find("FieldName").text
        if name == "ProductName":
            f.find("FieldName").text = FIELD
            f.find("ColumnLabel").text = LABEL
            f.find("AllowSorting").text = "TRUE"
        elif name == "Rating":
            f.find("ColumnLabel").text = "Rating <%"
            rows = f.findall("LookupTable/LookupArray/Row")
            rows[1].find("DisplayField").text = LIST_TEXT
        elif name == "Notes":
            f.find("ColumnLabel").text = "Notes %>"
    project.root = ET.fromstring(ET.tostring(root))
    return project


def hostile_fixture() -> Fixture:
    sql = (HERE / "fixtures" / "shop.sql").read_text(encoding="utf-8")
    quoted = '"' + FIELD.replace('"', '""') + '"'
    sql = sql.replace("ProductName VARCHAR(40)", quoted + " VARCHAR(60)", 1)
    return Fixture.from_sql(sql).named_exactly()


class ProjectTexts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        g = cls.ws.generate(hostile_project())
        cls.generated = g
        for name in ("CatalogList.asp", "CatalogForm.asp"):
            if name not in g.pages:
                cls.ws.close()
                raise AssertionError(f"{name} was not generated:\n{g.report}")
        lst = h.compile(g.pages["CatalogList.asp"], root=cls.ws.path)
        form = h.compile(g.pages["CatalogForm.asp"], root=cls.ws.path)
        fx = hostile_fixture()

        def req(page, query=(), form_values=()):
            return PageRequest(page, query=list(query), form=list(form_values), fixture=fx)

        cls.r = run_all({
            "list": req(lst),
            "sorted": req(lst, [("SortField", sql_name("Products", FIELD)), ("SortOrder", "DESC")]),
            "form": req(form, [("DataAction", "Edit"), ("PK", "2")]),
        })
        f = next(x for x in parse(cls.r["form"].output)[1] if ("DataAction", "Update") in x.buttons)
        cls.posted = f.submit(("DataAction", "Update"), **{FIELD: 'Lager "<%new%>"'})
        cls.r.update(run_all({
            "update": req(form, [("DataAction", "Edit"), ("PK", "2")], cls.posted),
            "insert_missing": req(form, (), [("DataAction", "Insert"), ("TVKToken", TOKEN)]),
        }))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def test_the_pages_compile_and_run(self):
        for name, r in self.r.items():
            r.assert_ok()

    def test_no_hostile_text_reaches_the_output_as_it_is(self):
        for name, r in self.r.items():
            out = r.output.replace("=100%>", "=100%")   # the page's own markup
            for raw in RAW:
                at = out.find(raw)
                self.assertLess(at, 0, f"{name}: {raw!r} in {out[max(at - 80, 0):at + 40]!r}")

    def test_labels_and_list_texts_come_through_as_html(self):
        r = self.r["list"]
        # The label's own markup stays markup; its script delimiters do not.
        self.assertRegex(r.output, r'>Name "<b>bold</b>" %&gt; &lt;% it\'s\r?\nnext</A></TH>')
        # The list text is data: encoded where the list shows it.
        self.assertRegex(r.output, r"So &quot;so&quot; %&gt; &lt;% &lt;/textarea&gt; &lt;script&gt;\r?\nend")
        rows = list_rows(r.output)
        self.assertEqual(rows[1]["cells"][1], "Chang")

    def test_the_field_name_reaches_the_database_and_the_form(self):
        r = self.r["form"]
        f = next(x for x in parse(r.output)[1] if ("DataAction", "Update") in x.buttons)
        self.assertEqual(dict(f.fields)[FIELD], "Chang")
        r = self.r["update"]
        self.assertIn("Record Updated", r.output, r.raised)
        row = {p["ProductID"]: p for p in r.table("Products")}[2]
        self.assertEqual(row[FIELD], 'Lager "<%new%>"')
        self.assertIn("Name &quot;&lt;b&gt;bold&lt;/b&gt;&quot; %&gt; &lt;% it&#39;s", self.r["insert_missing"].output,
                      "the field's error names its label, encoded")

    def test_sorting_by_the_hostile_column(self):
        r = self.r["sorted"]
        self.assertTrue(any(s.endswith("DESC") for s in r.sql()), r.sql())
        links, _ = parse(self.r["list"].output)
        self.assertIn(("SortField", sql_name("Products", FIELD)), [q for l in links for q in l.query])

    def test_connection_string_and_folders(self):
        self.assertEqual(self.r["list"].received()[0], CONNECTION)
        out = self.r["list"].output
        hrefs = re.findall(r'<LINK REL="STYLESHEET" HREF="([^"]*)"', out)
        self.assertEqual(len(hrefs), 1, out[:600])
        self.assertIn("st%20%22y%27%25%3Eles/", hrefs[0])
        self.assertIn("gr%20%3C%25a%3E%20%23%26/", out)


if __name__ == "__main__":
    unittest.main()
