"""The generated form page at work, and the list page of a list-with-form
project that hands records to it.

projects/catalog_listform.xml: the list links every record to CatalogForm.asp,
which steps through the records (first, previous, next, last, record number),
adds, updates and deletes, and has a List button back to the list.
projects/catalog_form_nonav.xml: the same without record navigation, so that
every finished action (and Cancel) sends the browser back to GoodsList.asp.
Both sort by ID, name and category, so the sort order travels with the key.
"""

from __future__ import annotations

import re
import unittest
from urllib.parse import parse_qsl, urlsplit

from harness import PageRequest
from harness.crawl import parse
from generated import Workspace
from support import HERE, harness, list_rows, project_fixture, run_all, sql_name

SORT = [("SortField", sql_name("Products", "ProductName")), ("SortOrder", "ASC")]


def record_number(result) -> tuple[int, int] | None:
    m = re.search(r"Record (\d+) of (\d+)", result.output)
    return (int(m.group(1)), int(m.group(2))) if m else None


def the_form(result):
    _, forms = parse(result.output)
    for f in forms:
        if any(name == "DataAction" for name, _ in f.buttons):
            return f
    raise AssertionError("no form with data action buttons in the page:\n" + result.output[-2000:])


def labels(form) -> list[str]:
    return [value for name, value in form.buttons if name == "DataAction"]


def press(form, label, **changes):
    return form.submit(next(b for b in form.buttons if b == ("DataAction", label)), **changes)


def redirect_query(result) -> tuple[str, dict]:
    url = result.redirect or ""
    parts = urlsplit(url)
    return parts.path, dict(parse_qsl(parts.query, keep_blank_values=True))


class ListFormList(unittest.TestCase):
    """The list page of a list-with-form project (no editing of its own)."""

    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        g = cls.ws.generate(HERE / "projects" / "catalog_listform.xml")
        if "CatalogList.asp" not in g.pages:
            raise AssertionError("CatalogList.asp was not generated:\n" + g.report)
        page = h.compile(g.pages["CatalogList.asp"], root=cls.ws.path)
        shop = project_fixture("shop.sql")
        cls.r = run_all({
            "first": PageRequest(page, fixture=shop),
            "back": PageRequest(page, query=[("PK", "14")], fixture=shop),
            "back_sorted": PageRequest(page, query=[("PK", "14")] + SORT, fixture=shop),
            "back_hostile": PageRequest(page, query=[("PK", "14 OR 1=1")], fixture=shop),
        })

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def test_every_record_links_to_the_form_page(self):
        r = self.r["first"].assert_ok()
        rows = list_rows(r.output)
        self.assertEqual(len(rows), 10)
        target, query = urlsplit(rows[4]["edit"]).path, dict(parse_qsl(urlsplit(rows[4]["edit"]).query))
        self.assertEqual(target, "CatalogForm.asp")
        self.assertEqual((query["DataAction"], query["PK"]), ("Edit", "5"))

    def test_the_add_button_posts_to_the_form_page(self):
        _, forms = parse(self.r["first"].output)
        add = [f for f in forms if ("DataAction", "Add") in f.buttons]
        self.assertEqual(len(add), 1)
        self.assertEqual(add[0].action, "CatalogForm.asp")

    def test_coming_back_with_a_key_shows_the_records_page(self):
        r = self.r["back"].assert_ok()
        self.assertIn(14, [int(row["cells"][0]) for row in list_rows(r.output)])
        self.assertIn("Page 2 of 3", r.output)
        s = self.r["back_sorted"].assert_ok()
        self.assertTrue(any(t.endswith(f"ORDER BY {sql_name('Products', 'ProductName')} ASC") for t in s.sql()), s.sql())
        self.assertIn(14, [int(row["cells"][0]) for row in list_rows(s.output)])

    def test_a_hostile_key_finds_nothing_and_reaches_no_statement(self):
        r = self.r["back_hostile"].assert_ok()
        self.assertIn("Page 1 of 3", r.output)
        for text in r.sql():
            self.assertNotIn("OR 1=1", re.sub(r"'(?:[^']|'')*'", "''", text))


class FormPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        pages = {}
        for project, name in (("catalog_listform.xml", "CatalogForm.asp"),
                              ("catalog_form_nonav.xml", "GoodsForm.asp")):
            g = cls.ws.generate(HERE / "projects" / project)
            if name not in g.pages:
                cls.ws.close()
                raise AssertionError(f"{name} was not generated:\n{g.report}")
            pages[name] = h.compile(g.pages[name], root=cls.ws.path)
        shop = project_fixture("shop.sql")
        names = {row[0]: row[1] for row in next(t for t in shop.tables if t["name"] == "Products")["rows"]}
        cls.tofu_by_name = sorted(names, key=lambda k: names[k].lower()).index(14) + 1
        nav, nonav = pages["CatalogForm.asp"], pages["GoodsForm.asp"]

        def req(page, query=(), form=()):
            return PageRequest(page, query=list(query), form=list(form), fixture=shop)

        cls.r = run_all({
            "first": req(nav),
            "record2": req(nav, [("CurrRecord", "2")]),
            "record99": req(nav, [("CurrRecord", "99")]),
            "record_abc": req(nav, [("CurrRecord", "abc")]),
            "from_list": req(nav, [("DataAction", "Edit"), ("PK", "14"), ("CurrPage", "2")]),
            "from_list_sorted": req(nav, [("DataAction", "Edit"), ("PK", "14")] + SORT),
            "add": req(nav, form=[("DataAction", "Add")]),
            "nonav": req(nonav, [("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")] + SORT),
            "nonav_add": req(nonav, form=[("DataAction", "Add")]),
            "hostile": req(nav, [("DataAction", "Edit"), ("PK", "1 OR 1=1"), ("CurrRecord", "abc"),
                                 ("SortField", "1;DROP TABLE x"), ("SortOrder", "ASC;--")]),
        })
        first = cls.r["first"].assert_ok()
        links, _ = parse(first.output)
        nxt = [l.query for l in links if l.query == [("CurrRecord", "2")]]
        last = [l.query for l in links if l.query == [("CurrRecord", "25")]]
        f14 = the_form(cls.r["from_list"])
        f14s = the_form(cls.r["from_list_sorted"])
        fadd = the_form(cls.r["add"])
        f5 = the_form(cls.r["nonav"])
        f5add = the_form(cls.r["nonav_add"])
        q14 = [("DataAction", "Edit"), ("PK", "14"), ("CurrPage", "2")]
        q5 = [("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")] + SORT
        new = dict(ProductName="Tea", CategoryID="1", UnitPrice="3.5", InStock="1", Added="2024-03-01",
                   Rating="2", Notes="green")
        cls.r.update(run_all({
            "next": req(nav, nxt[0] if nxt else [("CurrRecord", "none")]),
            "last": req(nav, last[0] if last else [("CurrRecord", "none")]),
            "update": req(nav, q14, press(f14, "Update", ProductName="Tofu Extra", UnitPrice="24")),
            "update_required": req(nav, q14, press(f14, "Update", ProductName="")),
            "update_number": req(nav, q14, press(f14, "Update", UnitPrice="abc")),
            "delete": req(nav, q14, press(f14, "Delete")),
            "cancel": req(nav, (), press(fadd, "Cancel")),
            "list": req(nav, [("DataAction", "Edit"), ("PK", "14")] + SORT, press(f14s, "List")),
            "insert": req(nav, (), press(fadd, "Insert", **new)),
            "insert_required": req(nav, (), press(fadd, "Insert", **dict(new, ProductName=""))),
            "nonav_update": req(nonav, q5, press(f5, "Update", ProductName="Gumbo")),
            "nonav_cancel": req(nonav, q5, press(f5, "Cancel")),
            "nonav_delete": req(nonav, q5, press(f5, "Delete")),
            "nonav_insert": req(nonav, (), press(f5add, "Insert", **new)),
        }))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def ok(self, name):
        return self.r[name].assert_ok()

    def assert_message(self, text, r):
        """The page's message, or what the database refused on the way."""
        self.assertIn(text, r.output, f"errors the database raised: {r.raised}")

    def field(self, name, field):
        return dict(the_form(self.ok(name)).fields).get(field)

    # --------------------------------------------------------- navigation

    def test_first_record_and_record_number(self):
        self.assertEqual(record_number(self.ok("first")), (1, 25))
        self.assertEqual(self.field("first", "ProductName"), "Chai")
        self.assertEqual(self.field("first", "PK"), "1")

    def test_next_and_last_links(self):
        self.assertEqual(record_number(self.ok("next")), (2, 25))
        self.assertEqual(self.field("next", "ProductName"), "Chang")
        self.assertEqual(record_number(self.ok("last")), (25, 25))
        self.assertEqual(self.field("last", "ProductName"), "Chocolade")
        links, _ = parse(self.r["last"].output)
        queries = [l.query for l in links]
        self.assertIn([("CurrRecord", "24")], queries, "previous record")
        self.assertIn([("CurrRecord", "1")], queries, "first record")
        self.assertNotIn([("CurrRecord", "26")], queries)

    def test_record_numbers_outside_the_range(self):
        self.assertEqual(record_number(self.ok("record99")), (25, 25))
        self.assertEqual(record_number(self.ok("record_abc")), (1, 25))
        self.assertEqual(record_number(self.ok("record2")), (2, 25))

    def test_a_key_from_the_list_opens_its_record(self):
        self.assertEqual(record_number(self.ok("from_list")), (14, 25))
        self.assertEqual(self.field("from_list", "ProductName"), "Tofu")
        self.assertEqual(labels(the_form(self.r["from_list"])), ["List", "Add", "Delete", "Update"])
        # Sorted by name, the form steps through the records in that order.
        self.assertEqual(record_number(self.ok("from_list_sorted")), (self.tofu_by_name, 25))

    # -------------------------------------------------------- data actions

    def test_add_shows_an_empty_form_with_cancel_and_insert(self):
        r = self.ok("add")
        self.assertEqual(labels(the_form(r)), ["Cancel", "Insert"])
        self.assertEqual(self.field("add", "ProductName"), "")
        self.assertIsNone(record_number(r), "no record navigation while adding")

    def test_update(self):
        r = self.ok("update")
        self.assert_message("Record Updated", r)
        tofu = {p["ProductID"]: p for p in r.table("Products")}[14]
        self.assertEqual((tofu["ProductName"], tofu["UnitPrice"]), ("Tofu Extra", 24))
        self.assertEqual(self.field("update", "ProductName"), "Tofu Extra")

    def test_update_errors_show_beside_their_fields(self):
        r = self.ok("update_required")
        self.assertIn("Product Required", r.output)
        self.assertEqual(r.changes, [])
        r = self.ok("update_number")
        self.assertIn("Invalid Price", r.output)
        self.assertEqual(r.changes, [])

    def test_insert(self):
        r = self.ok("insert")
        self.assert_message("Record Inserted", r)
        new = {p["ProductID"]: p for p in r.table("Products")}[26]
        self.assertEqual((new["ProductName"], new["Rating"], new["Notes"]), ("Tea", 2, "green"))
        self.assertEqual(record_number(r), (26, 26))
        r = self.ok("insert_required")
        self.assertIn("Product Required", r.output)
        self.assertEqual(len(r.table("Products")), 25)

    def test_delete(self):
        r = self.ok("delete")
        self.assert_message("Record Deleted", r)
        self.assertNotIn(14, [p["ProductID"] for p in r.table("Products")])
        self.assertEqual(record_number(r)[1], 24)

    def test_cancel_while_adding_shows_the_records_again(self):
        r = self.ok("cancel")
        self.assertEqual(r.changes, [])
        self.assertEqual(record_number(r), (1, 25))
        self.assertEqual(labels(the_form(r)), ["List", "Add", "Delete", "Update"])

    def test_list_button_returns_to_the_list_with_key_and_sort_order(self):
        r = self.r["list"]
        self.assertEqual(r.status, "ended", r.message())
        path, query = redirect_query(r)
        self.assertEqual(path, "CatalogList.asp")
        self.assertEqual(query, {"PK": "14", "SortField": sql_name("Products", "ProductName"), "SortOrder": "ASC"})

    # ----------------------------------------- a form without navigation

    def test_without_navigation_the_key_narrows_the_statement(self):
        r = self.ok("nonav")
        self.assertEqual(self.field("nonav", "ProductName"), "Gumbo Mix")
        self.assertTrue(any(re.search(rf"WHERE ({re.escape(sql_name('Products'))}\.)?{re.escape(sql_name('ProductID'))} = 5\b", t) for t in r.sql()), r.sql())
        self.assertEqual(labels(the_form(r)), ["Cancel", "Delete", "Update"])

    def test_without_navigation_every_action_returns_to_the_list(self):
        r = self.r["nonav_update"]
        self.assertEqual(r.status, "ended", f"{r.message()}; errors the database raised: {r.raised}")
        self.assertEqual({p["ProductID"]: p for p in r.table("Products")}[5]["ProductName"], "Gumbo")
        path, query = redirect_query(r)
        self.assertEqual((path, query.get("PK"), query.get("SortField")), ("GoodsList.asp", "5", sql_name("Products", "ProductName")))
        r = self.r["nonav_cancel"]
        self.assertEqual(r.status, "ended", r.message())
        self.assertEqual(redirect_query(r)[1].get("PK"), "5")
        self.assertEqual(r.changes, [])
        r = self.r["nonav_delete"]
        self.assertEqual(r.status, "ended", r.message())
        path, query = redirect_query(r)
        self.assertEqual((path, query.get("CurrPage")), ("GoodsList.asp", "1"))
        self.assertNotIn(5, [p["ProductID"] for p in r.table("Products")])
        r = self.r["nonav_insert"]
        self.assertEqual(r.status, "ended", r.message())
        self.assertEqual(redirect_query(r)[1].get("PK"), "26")

    # ------------------------------------------------------------- attacks

    def test_a_hostile_key_opens_the_first_record(self):
        # Whether hostile values reach SQL or HTML at all is test_matrix.py's.
        r = self.ok("hostile")
        self.assertEqual(record_number(r), (1, 25))
        self.assertFalse(any("OR 1=1" in re.sub(r"'(?:[^']|'')*'", "''", t) for t in r.sql()), r.sql())


if __name__ == "__main__":
    unittest.main()
