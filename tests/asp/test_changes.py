"""Who may change records, and what a change reports.

Insert, update and delete run only for a POST that carries the session's
token, which every form the pages write holds in a hidden input: a link or an
image on another site (a GET), a form forged without the token, a stale token
or a session that has none change nothing and say "The request could not be
verified; please try again.". The values of a change come from the posted
form alone. Around that: a delete that matches no record says so, keys
that are no number for a numeric key column find nothing instead of failing,
and the recordsets work on a provider whose connection serves one
forward-only result at a time (the mock refuses a second statement while such
a recordset is open).
"""

from __future__ import annotations

import re
import unittest

from harness import PageRequest
from harness.crawl import parse
from generated import Workspace
from support import HERE, TOKEN, harness, in_session, list_rows, project_fixture, run_all, sql_name

REFUSED = "The request could not be verified; please try again."


def products(result) -> dict:
    return {p["ProductID"]: p for p in result.table("Products")}


def record_number(result):
    m = re.search(r"Record (\d+) of (\d+)", result.output)
    return (int(m.group(1)), int(m.group(2))) if m else None


def forms_of(result):
    return parse(result.output)[1]


class Changes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        pages = {}
        for project, name in (("products_list.xml", "ProductsList.asp"),
                              ("catalog_listform.xml", "CatalogForm.asp"),
                              ("catalog_listform.xml", "CatalogList.asp"),
                              ("catalog_form_nonav.xml", "GoodsForm.asp")):
            g = cls.ws.generate(HERE / "projects" / project)
            if name not in g.pages:
                cls.ws.close()
                raise AssertionError(f"{name} was not generated:\n{g.report}")
            pages[name] = h.compile(g.pages[name], root=cls.ws.path)
        shop = project_fixture("shop.sql")
        lst, form, catalog, nonav = (pages["ProductsList.asp"], pages["CatalogForm.asp"],
                                     pages["CatalogList.asp"], pages["GoodsForm.asp"])
        token = [("TVKToken", TOKEN)]
        stale = [("TVKToken", "0" * 32)]
        edit5 = [("DataAction", "Edit"), ("PK", "5"), ("CurrPage", "1")]

        def req(page, query=(), form=(), session=None, method=None):
            r = PageRequest(page, query=list(query), form=list(form), fixture=shop)
            in_session(r, session)
            if method:
                r.application["TVK.RequestMethod"] = method
            return r

        update = [("DataAction", "Update"), ("PK", "5"), ("ProductName", "Changed"), ("CategoryID", "1")]
        cls.r = run_all({
            # What a link or an image on another site would send.
            "get_delete": req(lst, [("DataAction", "Delete"), ("PK", "5")]),
            "get_update": req(lst, update),
            "get_insert": req(lst, [("DataAction", "Insert"), ("ProductName", "Spam")]),
            "form_get_delete": req(form, [("DataAction", "Delete"), ("PK", "5")]),
            # A GET that names the token is still not a posted form.
            "get_with_token": req(lst, [("DataAction", "Delete"), ("PK", "5")] + token),
            # Forms posted without the token, with a stale one, and in a session without one.
            "post_no_token": req(lst, edit5, [("DataAction", "Delete"), ("PK", "5")]),
            "post_stale": req(lst, edit5, [("DataAction", "Delete"), ("PK", "5")] + stale),
            "post_no_session": req(lst, edit5, [("DataAction", "Delete"), ("PK", "5")] + token, session={}),
            "form_post_stale": req(form, (), [("DataAction", "Update"), ("PK", "5"), ("ProductName", "X")] + stale),
            "nonav_post_no_token": req(nonav, (), [("DataAction", "Delete"), ("PK", "5"), ("CurrPage", "1")]),
            # The token verifies; the values come from the form alone.
            "post_delete": req(lst, edit5, [("DataAction", "Delete"), ("PK", "5")] + token),
            "update_values_in_url": req(lst, edit5 + [("ProductName", "From the URL")],
                                        [("DataAction", "Update"), ("PK", "5"), ("CategoryID", "1")] + token),
            # A delete that matches no record.
            "delete_missing": req(lst, (), [("DataAction", "Delete"), ("PK", "999")] + token),
            "form_delete_missing": req(form, (), [("DataAction", "Delete"), ("PK", "999")] + token),
            # The key read in one place: the form's key wins over the URL's.
            "update_key_in_form": req(lst, [("DataAction", "Edit"), ("PK", "6")],
                                      [("DataAction", "Update"), ("PK", "5"), ("ProductName", "Five"),
                                       ("CategoryID", "2")] + token),
            # Keys that are no number for the numeric key column.
            "update_long_key": req(lst, (), [("DataAction", "Update"), ("PK", "1" * 40),
                                             ("ProductName", "x")] + token),
            "list_key_text": req(catalog, [("PK", "abc")]),
            "list_key_16_digits": req(catalog, [("PK", "1234567890123456")]),
            "form_key_text": req(form, [("DataAction", "Edit"), ("PK", "abc")]),
            "insert": req(lst, (), [("DataAction", "Insert"), ("ProductName", "Tea"), ("CategoryID", "1")] + token),
            # The pages' own forms, as a browser posts them.
            "edit5": req(lst, edit5),
            "form5": req(form, [("DataAction", "Edit"), ("PK", "5")]),
            "add": req(lst, (), [("DataAction", "Add")]),
        })
        e5 = next(f for f in forms_of(cls.r["edit5"]) if ("DataAction", "Update") in f.buttons)
        f5 = next(f for f in forms_of(cls.r["form5"]) if ("DataAction", "Update") in f.buttons)
        cls.e5, cls.f5 = e5, f5
        cls.r.update(run_all({
            "edit_row_update": req(lst, edit5, e5.submit(("DataAction", "Update"), ProductName="Posted")),
            "form_update": req(form, [("DataAction", "Edit"), ("PK", "5")],
                               f5.submit(("DataAction", "Update"), ProductName="Posted")),
            "form_update_other_session": req(form, [("DataAction", "Edit"), ("PK", "5")],
                                             f5.submit(("DataAction", "Update"), ProductName="Posted"),
                                             session={"Session.TVKW_Token": "F" * 32}),
        }))

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def ok(self, name):
        return self.r[name].assert_ok()

    def test_every_form_the_pages_write_carries_the_token(self):
        for name in ("edit5", "form5", "add"):
            forms = forms_of(self.ok(name))
            self.assertTrue(forms, name)
            for f in forms:
                self.assertIn(("TVKToken", TOKEN), f.fields, f"{name}: {f}")

    def test_a_get_changes_nothing(self):
        for name in ("get_delete", "get_update", "get_insert", "form_get_delete", "get_with_token"):
            r = self.ok(name)
            self.assertEqual(r.changes, [], name)
            self.assertEqual(products(r)[5]["ProductName"], "Gumbo Mix", name)
            self.assertEqual(len(products(r)), 25, name)
            self.assertIn(REFUSED, r.output, name)

    def test_a_post_without_the_sessions_token_changes_nothing(self):
        for name in ("post_no_token", "post_stale", "post_no_session", "form_post_stale",
                     "form_update_other_session"):
            r = self.ok(name)
            self.assertEqual(r.changes, [], name)
            self.assertIn(REFUSED, r.output, name)
            self.assertEqual(len(products(r)), 25, name)
        # A form page that goes back to the list after a change stays put
        # and says why.
        r = self.ok("nonav_post_no_token")
        self.assertIsNone(r.redirect)
        self.assertIn(REFUSED, r.output)
        self.assertIn(5, products(r))

    def test_the_pages_own_forms_change_records(self):
        r = self.ok("post_delete")
        self.assertIn("Record Deleted", r.output)
        self.assertNotIn(5, products(r))
        for name in ("edit_row_update", "form_update"):
            r = self.ok(name)
            self.assertIn("Record Updated", r.output, name)
            self.assertEqual(products(r)[5]["ProductName"], "Posted", name)
        r = self.ok("insert")
        self.assertIn("Record Inserted", r.output)
        self.assertEqual(products(r)[26]["ProductName"], "Tea")

    def test_a_change_takes_its_values_from_the_posted_form_only(self):
        r = self.ok("update_values_in_url")
        # ProductName came only in the URL: the form posted no name, which
        # the field requires.
        self.assertIn("Product Required", r.output)
        self.assertEqual(r.changes, [])

    def test_the_form_key_wins_over_the_urls(self):
        r = self.ok("update_key_in_form")
        self.assertIn("Record Updated", r.output)
        self.assertEqual(products(r)[5]["ProductName"], "Five")
        self.assertEqual(products(r)[6]["ProductName"], "Boysenberry Spread")

    def test_a_delete_that_matches_no_record_says_so(self):
        for name in ("delete_missing", "form_delete_missing"):
            r = self.ok(name)
            self.assertIn("Record not found", r.output, name)
            self.assertNotIn("Record Deleted", r.output, name)
            self.assertEqual(r.changes, [], name)

    def test_keys_that_are_no_number_find_nothing(self):
        r = self.ok("update_long_key")
        self.assertIn("Error Updating Record", r.output)
        self.assertEqual(r.changes, [])
        self.assertFalse(any("1" * 16 in s for s in r.sql()), r.sql())
        for name in ("list_key_text", "list_key_16_digits"):
            r = self.ok(name)
            self.assertIn("Page 1 of 3", r.output, name)
            self.assertEqual(int(list_rows(r.output)[0]["cells"][0]), 1, name)
            self.assertFalse(any(s.startswith("ProductID=") for s in r.sql()), f"{name}: {r.sql()}")
        r = self.ok("form_key_text")
        self.assertEqual(record_number(r), (1, 25))
        self.assertFalse(any("=NULL" in s.replace(" ", "") for s in r.sql()), r.sql())

    def test_the_insert_opens_no_rows(self):
        r = self.ok("insert")
        self.assertIn(f"SELECT * FROM {sql_name('Products')} WHERE 1=0", r.sql())
        self.assertNotIn(sql_name("Products"), r.sql(), "the whole table is not opened")


class EmptyTables(unittest.TestCase):
    """Every page of the shop projects over tables without rows, with and
    without a key in the request."""

    @classmethod
    def setUpClass(cls):
        h = harness()
        cls.ws = Workspace()
        empty = project_fixture("shop.sql")
        for t in empty.tables:
            t["rows"] = []
        requests = {}
        for project in sorted((HERE / "projects").glob("*.xml")):
            g = cls.ws.generate(project)
            for name, path in g.pages.items():
                page = h.compile(path, root=cls.ws.path)
                for label, query in (("plain", []), ("key", [("PK", "5")]), ("edit", [("DataAction", "Edit"), ("PK", "5")]),
                                     ("page", [("CurrPage", "2"), ("CurrRecord", "2")])):
                    requests[f"{name} {label}"] = PageRequest(page, query=query, fixture=empty)
        cls.r = run_all(requests)

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()

    def test_every_page_runs_on_an_empty_table(self):
        failures = [f"{name}: {r.message()}" for name, r in self.r.items() if not r.ok]
        self.assertEqual(failures, [])
        self.assertGreaterEqual(len(self.r), 4 * 5)
        for name, r in self.r.items():
            self.assertEqual(list_rows(r.output), [], name)


if __name__ == "__main__":
    unittest.main()
