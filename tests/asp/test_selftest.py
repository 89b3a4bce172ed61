"""The harness itself: hand-written pages that use each mock feature.

These prove the harness before the generated pages do: when one of these
fails, the fault is in the harness, not in the generator.
"""

from __future__ import annotations

import unittest

from harness import PageRequest
from support import HERE, fixture, harness, run_all, table_rows

PAGES = HERE / "selftest"


def page(name: str):
    return harness().compile(PAGES / name, root=PAGES)


class SelfTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shop = fixture("shop.sql")
        cls.r = run_all({
            "greet": PageRequest(page("request_response.asp"),
                                 query=[("Name", "<b>Bob</b>"), ("Action", "count"), ("Tag", "a"),
                                        ("Tag", "b")],
                                 application={"Hits": 4}),
            "redirect": PageRequest(page("request_response.asp"), form={"Name": "A & B", "Action": "go"}),
            "page2": PageRequest(page("ado_list.asp"), query={"CurrPage": "2", "PK": "14"}, fixture=shop),
            "page99": PageRequest(page("ado_list.asp"), query={"CurrPage": "99"}, fixture=shop),
            "sorted": PageRequest(page("ado_list.asp"),
                                  query={"CurrPage": "abc", "SortField": "Products.ProductName",
                                         "SortOrder": "DESC"}, fixture=shop),
            "injected": PageRequest(page("ado_list.asp"),
                                    query={"SortField": "1;DROP TABLE Products", "SortOrder": "ASC"},
                                    fixture=shop),
            "edit": PageRequest(page("ado_edit.asp"),
                                form={"Name": "Tea", "Price": "12.5", "Added": "2024-02-01",
                                      "RenameID": "3", "DeleteID": "4"}, fixture=shop),
            "bad_values": PageRequest(page("ado_edit.asp"),
                                      form={"Name": "Tea", "Price": "abc", "Added": "never"}, fixture=shop),
            "required": PageRequest(page("ado_edit.asp"), form={"Price": "1"}, fixture=shop),
            "too_long": PageRequest(page("ado_edit.asp"), form={"Name": "x" * 41}, fixture=shop),
            "include": PageRequest(page("with_include.asp"), query={"By": "2"}),
            "include_error": PageRequest(page("with_include.asp"), query={"By": "0"}),
            "gaps": PageRequest(page("engine_gaps.asp")),
            "read_handled": PageRequest(page("mock_error.asp"), fixture=shop),
            "read_fails": PageRequest(page("mock_error.asp"), query={"Fail": "read"}, fixture=shop),
            "read_fails_last": PageRequest(page("mock_error.asp"), query={"Fail": "last"}, fixture=shop),
            "endless": PageRequest(page("endless.asp"), query={"Kind": "recordset"}, fixture=shop),
        })

    def test_request_response_application(self):
        r = self.r["greet"].assert_ok()
        self.assertEqual(r.status, "ok")
        self.assertIn("<P>Name: %3Cb%3EBob%3C%2Fb%3E</P>", r.output)
        self.assertIn("<P>Action: count</P>", r.output)
        self.assertIn("<P>Hits: 5, last: <b>Bob</b></P>", r.output)
        self.assertIn("<P>Missing: [] 0 True</P>", r.output)
        self.assertIn("<P>Tags: a, b (2)</P>", r.output)
        self.assertEqual(r.expires, 0)
        self.assertIsNone(r.redirect)

    def test_redirect_and_end_stop_the_page(self):
        r = self.r["redirect"]
        self.assertEqual(r.status, "ended", r.message())
        self.assertEqual(r.redirect, "target.asp?Name=A+%26+B")
        self.assertNotIn("<HTML>", r.output)
        self.assertEqual(r.after_end, [])

    def test_paging_join_and_find(self):
        r = self.r["page2"].assert_ok()
        rows = table_rows(r.output)
        self.assertEqual([row[0] for row in rows], [str(n) for n in range(11, 21)])
        self.assertEqual(rows[0], ["11", "Queso Cabrales", "Dairy"])
        self.assertEqual(rows[3], ["14", "Tofu", ""], "left outer join keeps a product without category")
        self.assertIn("<P>Pages 3</P>", r.output)
        self.assertIn("<P>Found page 2 EOF False</P>", r.output)
        self.assertIn("<P>Forward -1 Chang Chang</P>", r.output)
        self.assertIn("<P>Types 3 202</P>", r.output)
        self.assertIn("<P>Rows 4: Beverages 1, EOF True</P>", r.output)
        self.assertEqual(r.received()[0], "Driver={SQLite3};Database=shop.db")
        self.assertIn("ProductID=14", r.received())

    def test_page_number_past_the_end_is_clamped(self):
        r = self.r["page99"].assert_ok()
        self.assertIn("<P>Page 3</P>", r.output)
        self.assertEqual([row[0] for row in table_rows(r.output)], [str(n) for n in range(21, 26)])

    def test_sorting_and_invalid_page_number(self):
        r = self.r["sorted"].assert_ok()
        self.assertIn("<P>Page 1</P>", r.output)
        rows = table_rows(r.output)
        self.assertEqual(rows[0][1], "Tunnbröd")
        self.assertEqual([row[0] for row in rows][:3], ["23", "14", "19"])
        self.assertTrue(r.received()[1].endswith("ORDER BY Products.ProductName DESC"))

    def test_injected_sql_is_refused_and_logged(self):
        r = self.r["injected"]
        # Each engine refuses the text in its own words (two statements, or
        # a syntax error); the page stops and the table stays.
        self.assertEqual(r.status, "runtime_error")
        self.assertIn("ado_list.asp:23", r.message())
        self.assertTrue(any("DROP TABLE" in s for s in r.received()))
        self.assertEqual(len(r.table("Products")), 25)

    def test_insert_update_delete(self):
        r = self.r["edit"].assert_ok()
        self.assertIn("<P>Errors: </P>", r.output)
        self.assertIn("<P>New: 26</P>", r.output)
        products = {p["ProductID"]: p for p in r.table("Products")}
        self.assertEqual(products[26]["ProductName"], "Tea")
        self.assertEqual(products[26]["UnitPrice"], 12.5)
        self.assertEqual(products[26]["Added"], "2024-02-01 00:00:00")
        self.assertIs(products[26]["InStock"], False, "the column default fills an unset field")
        self.assertEqual(products[3]["ProductName"], "Renamed")
        self.assertNotIn(4, products)
        self.assertEqual([c["op"] for c in r.changes], ["insert", "update", "delete"])
        self.assertIn("DELETE FROM Products WHERE ProductID = 4", r.received())

    def test_values_the_column_cannot_take_raise(self):
        r = self.r["bad_values"].assert_ok()
        self.assertIn("<P>Errors: Invalid Price;Invalid Added;</P>", r.output)
        self.assertEqual(len(r.table("Products")), 25)
        self.assertEqual(r.changes, [])

    def test_required_column_left_empty_fails_on_update(self):
        r = self.r["required"].assert_ok()
        # The database's own refusal, which names the column.
        self.assertRegex(r.output, r"(?i)<P>Errors: Update failed: [^<]*productname")
        self.assertEqual(len(r.table("Products")), 25)

    def test_text_longer_than_the_column_raises(self):
        r = self.r["too_long"].assert_ok()
        self.assertIn("<P>Errors: Invalid Name;</P>", r.output)

    def test_include_files_and_their_line_numbers(self):
        r = self.r["include"].assert_ok()
        self.assertIn("HELLO!\r\n3\r\n", r.output)
        e = self.r["include_error"]
        self.assertEqual(e.status, "runtime_error")
        self.assertEqual(str(e.where), "inc/incHelpers.asp:8")
        self.assertIn("Division by zero", e.message())
        self.assertIn("gfnDivide = a / b", e.message())

    def test_replacements_for_engine_gaps(self):
        r = self.r["gaps"].assert_ok()
        for line in ["isdate=TrueTrueFalse", "trimnull=True[x]", "mid=bcdefTrue", "dict=v1"]:
            self.assertIn(line + "\r\n", r.output)

    def test_failed_field_read_stops_the_page_unless_handled(self):
        handled = self.r["read_handled"].assert_ok()
        self.assertEqual(handled.output.strip(), "Chai handled=True end")
        for name, line in [("read_fails", 18), ("read_fails_last", 21)]:
            r = self.r[name]
            self.assertEqual(r.status, "runtime_error", name)
            self.assertEqual(str(r.called_from), f"mock_error.asp:{line}")
            self.assertIn("Item cannot be found", r.message())
            self.assertIn("'UnitPrice'", r.message())

    def test_endless_recordset_loop_is_stopped(self):
        r = self.r["endless"]
        self.assertEqual(r.status, "runtime_error")
        self.assertIn("endless loop", r.message())
        self.assertEqual(str(r.called_from), "endless.asp:11")


class CrashAndTimeout(unittest.TestCase):
    """A page that hangs Wine's engine must not take the rest of a batch."""

    def test_hung_page_is_reported_and_the_batch_goes_on(self):
        h = harness()
        saved = h.runner.job_timeout
        h.runner.job_timeout = 2.0
        try:
            workers = h.runner.workers
            h.runner.workers = 1
            try:
                hang, after = h.run_many([
                    PageRequest(page("endless.asp"), fixture=fixture("shop.sql")),
                    PageRequest(page("with_include.asp"), query={"By": "3"}),
                ])
            finally:
                h.runner.workers = workers
        finally:
            h.runner.job_timeout = saved
        self.assertEqual(hang.status, "timeout")
        self.assertIn("endless loop", hang.message())
        after.assert_ok()
        self.assertIn("HELLO!\r\n2\r\n", after.output)


if __name__ == "__main__":
    unittest.main()
