"""The generated list page at work: paging, sorting, inline editing, lookups,
and requests that try to reach the database or the HTML.

projects/products_list.xml lists the Products of fixtures/shop.sql ten to a
page, sortable by ID, name and category (a lookup of Categories), with a
hand-made list for the rating, and allows adding, updating and deleting.
"""

from __future__ import annotations

import re
import unittest

from harness import PageRequest
from harness.crawl import parse
from generated import Workspace
from support import HERE, TOKEN, harness, list_rows, project_fixture, run_all, sql_name

SCRIPT = '"><script>alert(1)</script>'


def ids(result) -> list[int]:
    return [int(r["cells"][0]) for r in list_rows(result.output)]


def edit_form(result):
    """The form of the edit row (the one with the data action buttons)."""
    _, forms = parse(result.output)
    for f in forms:
        if any(name == "DataAction" and value in ("Update", "Insert") for name, value in f.buttons):
            return f
    raise AssertionError("no edit row in the page:\n" + result.output[-2000:])


def button(form, label):
    return next(b for b in form.buttons if b[1] == label)


def sql_outside_literals(text: str) -> str:
    return re.sub(r"'(?:[^']|'')*'", "''", text)


class ListPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        g = cls.ws.generate(HERE / "projects" / "products_list.xml")
        if "ProductsList.asp" not in g.pages:
            raise AssertionError("ProductsList.asp was not generated:\n" + g.report)
        cls.page = h.compile(g.pages["ProductsList.asp"], root=cls.ws.path)
        cls.shop = project_fixture("shop.sql")
        names = {row[0]: row[1] for row in next(t for t in cls.shop.tables if t["name"] == "Products")["rows"]}
        cls.by_name = sorted(names, key=lambda k: names[k].lower())
        hostile = project_fixture("shop.sql")
        for t in hostile.tables:
            for row in t["rows"]:
                row[1] = SCRIPT + row[1]
        cls.hostile = hostile

        def req(query=(), form=(), fx=None):
            return PageRequest(cls.page, query=list(query), form=list(form), fixture=fx or cls.shop)
        cls.req = staticmethod(req)

        # Requests that need no earlier output.
        cls.r = run_all({
            "first": req(),
            "page2": req({"CurrPage": "2"}.items()),
            "page99": req({"CurrPage": "99"}.items()),
            "page0": req({"CurrPage": "0"}.items()),
            "page_abc": req({"CurrPage": "abc"}.items()),
            "edit5": req([("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")]),
            "edit12": req([("DataAction", "Edit"), ("PK", "12"), ("CurrPage", "2")]),
            "add": req(form=[("DataAction", "Add")]),
            "cancel": req([("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")],
                          [("PK", "5"), ("DataAction", "Cancel")]),
            # Hostile request values.
            "pk_or_edit": req([("DataAction", "Edit"), ("PK", "1 OR 1=1")]),
            "pk_or_update": req(form=[("DataAction", "Update"), ("PK", "1 OR 1=1"), ("ProductName", "x"),
                                      ("TVKToken", TOKEN)]),
            "pk_or_delete": req(form=[("DataAction", "Delete"), ("PK", "1 OR 1=1"), ("TVKToken", TOKEN)]),
            "sort_drop": req([("SortField", "1;DROP TABLE x"), ("SortOrder", "ASC;--")]),
            "sort_order_only": req([("SortField", sql_name("Products", "ProductName")), ("SortOrder", "ASC;--")]),
            "hostile_data": req(fx=hostile),
            "hostile_data_edit": req([("DataAction", "Edit"), ("PK", "1")], fx=hostile),
        })

        # Requests built from those outputs: header links, edit rows posted back.
        first = cls.r["first"]
        links, _ = parse(first.output)
        # The header links carry the sort field and order and nothing else.
        sort = {dict(l.query)["SortField"]: l.query for l in links
                if sorted(dict(l.query)) == ["SortField", "SortOrder"]}
        cls.sort_links = sort
        e5, e12, add = edit_form(cls.r["edit5"]), edit_form(cls.r["edit12"]), edit_form(cls.r["add"])
        q5 = [("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")]
        q12 = [("DataAction", "Edit"), ("PK", "12"), ("CurrPage", "2")]
        new = dict(ProductName="Tea", CategoryID="1", UnitPrice="3.5", InStock="1", Added="2024-03-01",
                   Rating="2")
        cls.r.update(run_all({
            "by_name": req(sort.get(sql_name("Products", "ProductName"), [])),
            "by_category": req(sort.get(sql_name("Categories", "CategoryName"), [])),
            "update": req(q5, e5.submit(button(e5, "Update"), ProductName="Gumbo Mix Deluxe", UnitPrice="22.5")),
            "update_required": req(q5, e5.submit(button(e5, "Update"), ProductName="")),
            "update_number": req(q5, e5.submit(button(e5, "Update"), UnitPrice="abc")),
            "update_script": req(q5, e5.submit(button(e5, "Update"), ProductName=SCRIPT, InStock="1")),
            "insert": req((), add.submit(button(add, "Insert"), **new)),
            "insert_required": req((), add.submit(button(add, "Insert"), **dict(new, ProductName=" "))),
            "delete": req(q12, e12.submit(button(e12, "Delete"))),
        }))
        links, _ = parse(cls.r["by_name"].output)
        desc = [l.query for l in links if ("SortField", sql_name("Products", "ProductName")) in l.query
                and ("SortOrder", "DESC") in l.query]
        paged = [l.query for l in links if ("CurrPage", "2") in l.query]
        cls.r.update(run_all({
            "by_name_desc": req(desc[0] if desc else []),
            "by_name_page2": req(paged[0] if paged else []),
        }))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def ok(self, name):
        return self.r[name].assert_ok()

    def assert_message(self, text, r):
        """The page's message, or what the database refused on the way."""
        self.assertIn(text, r.output, f"errors the database raised: {r.raised}")

    # ------------------------------------------------------------- paging

    def test_first_page_shows_ten_records_and_the_navigation(self):
        r = self.ok("first")
        self.assertEqual(ids(r), list(range(1, 11)))
        self.assertIn("Page 1 of 3", r.output)
        rows = list_rows(r.output)
        self.assertEqual([row["class"] for row in rows[:2]], ["OddLine", "EvenLine"])

    def test_page_two_shows_records_eleven_to_twenty(self):
        r = self.ok("page2")
        self.assertEqual(ids(r), list(range(11, 21)))
        self.assertIn("Page 2 of 3", r.output)

    def test_page_numbers_outside_the_range_are_clamped(self):
        self.assertEqual(ids(self.ok("page99")), list(range(21, 26)))
        self.assertIn("Page 3 of 3", self.r["page99"].output)
        for name in ("page0", "page_abc"):
            self.assertEqual(ids(self.ok(name)), list(range(1, 11)), name)
            self.assertIn("Page 1 of 3", self.r[name].output, name)

    # ------------------------------------------------------------ sorting

    def test_sorting_through_the_header_links(self):
        self.assertIn(sql_name("Products", "ProductName"), self.sort_links)
        r = self.ok("by_name")
        self.assertEqual(ids(r), self.by_name[:10])
        self.assertTrue(r.received()[-1].endswith(f"ORDER BY {sql_name('Products', 'ProductName')} ASC"), r.received())
        # The sorted column shows its marker and its link now sorts the other way.
        self.assertIn("/\\", r.output)
        d = self.ok("by_name_desc")
        self.assertEqual(ids(d), list(reversed(self.by_name))[:10])
        self.assertIn("\\/", d.output)
        # Paging keeps the sort order.
        p = self.ok("by_name_page2")
        self.assertEqual(ids(p), self.by_name[10:20])

    def test_sorting_by_a_lookup_column_sorts_by_the_shown_text(self):
        r = self.ok("by_category")
        self.assertTrue(r.received()[-1].endswith(f"ORDER BY {sql_name('Categories', 'CategoryName')} ASC"), r.received())
        categories = [row["cells"][2] for row in list_rows(r.output)]
        shown = [c for c in categories if c.strip()]
        self.assertEqual(shown, sorted(shown))

    # -------------------------------------------------------- inline edit

    def test_edit_row_shows_the_record_with_its_lookups(self):
        r = self.ok("edit5")
        f = edit_form(r)
        fields = dict(f.fields)
        self.assertEqual(fields["PK"], "5")
        self.assertEqual(fields["ProductName"], "Gumbo Mix")
        self.assertEqual(fields["CategoryID"], "2", "the stored category is selected")
        self.assertIn(">Condiments</OPTION>", r.output)
        self.assertEqual(fields.get("Rating"), "1", "the stored rating is checked")
        self.assertIn("Poor", r.output)
        self.assertNotIn("InStock", fields, "Gumbo Mix is not in stock: the box is not ticked")
        self.assertEqual([b[1] for b in f.buttons], ["Update", "Delete", "Cancel"])
        # The record's row is the edit row; the others stay plain lines.
        self.assertNotIn(5, ids(r))
        self.assertIn(4, ids(r))

    def test_update(self):
        r = self.ok("update")
        self.assert_message("Record Updated", r)
        product = {p["ProductID"]: p for p in r.table("Products")}[5]
        self.assertEqual(product["ProductName"], "Gumbo Mix Deluxe")
        self.assertEqual(product["UnitPrice"], 22.5)
        self.assertEqual(product["CategoryID"], 2)
        self.assertIs(product["InStock"], False, "an unticked check box stores False")
        self.assertIn("Gumbo Mix Deluxe", r.output)
        self.assertIn(5, ids(r), "after the update the list shows the record again")

    def test_update_with_an_empty_required_field(self):
        r = self.ok("update_required")
        self.assertIn("Product Required", r.output)
        self.assertIn("Error Updating Record", r.output)
        self.assertEqual(r.changes, [])
        self.assertEqual(dict(edit_form(r).fields)["ProductName"], "", "the form shows what was posted")

    def test_update_with_a_value_that_is_not_a_number(self):
        r = self.ok("update_number")
        self.assertIn("Invalid Price", r.output)
        self.assertEqual(r.changes, [])
        self.assertEqual(dict(edit_form(r).fields)["UnitPrice"], "abc")

    def test_insert_reads_the_new_key_back(self):
        add = self.ok("add")
        self.assertEqual([b[1] for b in edit_form(add).buttons], ["Insert", "Cancel"])
        self.assertEqual(dict(edit_form(add).fields)["ProductName"], "")
        r = self.ok("insert")
        self.assert_message("Record Inserted", r)
        new = {p["ProductID"]: p for p in r.table("Products")}[26]
        self.assertEqual((new["ProductName"], new["CategoryID"], new["UnitPrice"], new["InStock"], new["Rating"]),
                         ("Tea", 1, 3.5, True, 2))
        self.assertEqual(new["Added"], "2024-03-01 00:00:00")
        # The list opens on the page that holds the new record.
        self.assertIn(26, ids(r))
        self.assertIn("Page 3 of 3", r.output)

    def test_insert_with_a_blank_required_field(self):
        r = self.ok("insert_required")
        self.assertIn("Product Required", r.output)
        self.assertIn("Error Inserting Record", r.output)
        self.assertEqual(len(r.table("Products")), 25)

    def test_delete_keeps_the_list_on_its_page(self):
        r = self.ok("delete")
        self.assert_message("Record Deleted", r)
        self.assertNotIn(12, [p["ProductID"] for p in r.table("Products")])
        self.assertIn("Page 2 of 3", r.output)
        self.assertEqual(ids(r), [11] + list(range(13, 22)))

    def test_cancel_returns_to_the_plain_list(self):
        r = self.ok("cancel")
        self.assertNotIn('NAME="DataAction" VALUE=Update', r.output)
        self.assertIn(5, ids(r))
        self.assertEqual(r.changes, [])

    # ------------------------------------------------------------ lookups

    def test_lookups_show_their_texts(self):
        rows = {int(r["cells"][0]): r["cells"] for r in list_rows(self.ok("first").output)}
        self.assertEqual(rows[1][2], "Beverages")
        self.assertEqual(rows[7][2], "\xa0", "no category: an empty cell")
        self.assertEqual(rows[1][6], "Poor")
        self.assertEqual(rows[2][6], 'So "so"')
        self.assertEqual(rows[3][6], "Great <3")
        self.assertIn("Great &lt;3", self.r["first"].output)
        self.assertEqual(rows[4][6], "\xa0", "no rating: an empty cell")

    # ------------------------------------------------------------ attacks
    # Script in request values, and injection through every page's request
    # values in general, are test_matrix.py's; these check what the page
    # does with them.

    def assert_no_injection(self, name):
        r = self.r[name]
        for text in r.sql():
            code = sql_outside_literals(text)
            for bad in ("OR 1=1", "DROP", ";", "--", "<script"):
                self.assertNotIn(bad.lower(), code.lower(), f"{name}: the database received {text!r}")
        self.assertNotRegex(r.output, r"(?i)<\s*script", f"{name}: unencoded script in the page")
        return r

    def test_a_key_with_sql_in_it_reaches_no_statement(self):
        for name in ("pk_or_edit", "pk_or_update", "pk_or_delete"):
            r = self.assert_no_injection(name)
            r.assert_ok()
            self.assertEqual(len(r.table("Products")), 25, name)
            self.assertEqual(r.changes, [], name)
        # An update whose key matches no record says so instead of failing.
        self.assertIn("Error Updating Record", self.r["pk_or_update"].output)

    def test_sort_parameters_outside_the_pages_columns_are_ignored(self):
        r = self.assert_no_injection("sort_drop")
        r.assert_ok()
        self.assertFalse(any("ORDER BY" in s for s in r.received()), r.received())
        self.assertEqual(ids(r), list(range(1, 11)))
        r = self.assert_no_injection("sort_order_only")
        r.assert_ok()
        self.assertTrue(r.received()[-1].endswith(f"ORDER BY {sql_name('Products', 'ProductName')} ASC"), r.received())

    def test_script_in_stored_values_is_encoded(self):
        for name in ("hostile_data", "hostile_data_edit", "update_script"):
            self.assert_no_injection(name).assert_ok()
        r = self.r["update_script"]
        self.assertEqual({p["ProductID"]: p for p in r.table("Products")}[5]["ProductName"], SCRIPT)
        self.assertIn("&lt;script&gt;", r.output)


if __name__ == "__main__":
    unittest.main()
