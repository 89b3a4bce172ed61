"""The bridge between the script engine and the database, on its own: what
the pages' mock objects rely on, on the engine TVK_ASP_DB names."""

from __future__ import annotations

import json
import unittest
import urllib.error
import urllib.request

from harness.bridge import Bridge
from harness.database import E_INTEGRITY, E_NOT_LOCATED, Databases, DatabaseUnavailable
from support import fixture


class BridgeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        try:
            databases = Databases()
            databases.check()
        except DatabaseUnavailable as e:
            raise unittest.SkipTest(str(e))
        cls.bridge = Bridge(databases)
        cls.shop = fixture("shop.sql").tables

    @classmethod
    def tearDownClass(cls):
        cls.bridge.close()

    def post(self, body: dict, token: str | None = None) -> tuple[int, dict]:
        data = json.dumps({"token": token or self.bridge.token, **body}).encode()
        req = urllib.request.Request(self.bridge.url, data=data, method="POST")
        try:
            with urllib.request.urlopen(req, timeout=30) as r:
                return r.status, json.loads(r.read())
        except urllib.error.HTTPError as e:
            return e.code, json.loads(e.read())

    def call(self, session: str, op: str, **args) -> dict:
        status, answer = self.post({"session": session, "op": op, **args})
        self.assertEqual(status, 200, answer)
        return answer

    def test_a_request_without_the_runs_token_is_refused(self):
        s = self.bridge.new_session(self.shop)
        try:
            status, answer = self.post({"session": s, "op": "execute", "sql": "DELETE FROM Products"},
                                       token="0" * 32)
            self.assertEqual(status, 403)
            self.assertEqual(len(self.call(s, "finish")["tables"]["Products"]["rows"]), 25)
        finally:
            self.bridge.end_sessions([s])

    def test_columns_carry_the_fixtures_ado_types_and_values_their_class(self):
        s = self.bridge.new_session(self.shop)
        try:
            r = self.call(s, "query", sql="SELECT ProductID, ProductName, UnitPrice, InStock, Added, "
                                          "ProductID + 1 AS Next FROM Products WHERE ProductID = 3", table=False)
            types = {c["name"].lower(): (c["type"], c["size"]) for c in r["columns"]}
            self.assertEqual(types["productid"][0], 3)
            self.assertEqual(types["productname"], (202, 40))
            self.assertEqual(types["instock"][0], 11)
            self.assertEqual(types["next"][0], 3, "an expression takes the type of its values")
            self.assertIsNone(r["base"], "a computed column makes the recordset read-only")
            self.assertEqual(r["rows"], [[3, "Aniseed Syrup", 10.0, False, "2024-01-07 00:00:00", 4]])
            whole = self.call(s, "query", sql="Products", table=True)
            self.assertEqual(whole["base"].lower(), "products")
            self.assertEqual(len(whole["rows"]), 25)
            joined = self.call(s, "query", sql="SELECT Products.ProductID, CategoryName FROM Products "
                                               "INNER JOIN Categories ON Products.CategoryID = Categories.CategoryID",
                               table=False)
            self.assertIsNone(joined["base"], "a join is not updatable")
            refused = self.call(s, "query", sql="SELECT * FROM [No Such Table]", table=False)
            self.assertIn("error", refused)
        finally:
            self.bridge.end_sessions([s])

    def test_sessions_are_isolated_and_autonumbers_start_again(self):
        for _ in range(2):
            a, b = self.bridge.new_session(self.shop), self.bridge.new_session(self.shop)
            try:
                added = self.call(a, "insert", table="Products",
                                  values={"ProductName": "Tea", "InStock": True, "UnitPrice": 2.5})
                row = added["row"]["rows"][0]
                self.assertEqual(row[0], 26)
                self.assertEqual(self.call(a, "execute", sql="DELETE FROM Products WHERE ProductID = 1")["affected"], 1)
                self.assertEqual(self.call(b, "execute", sql="DELETE FROM Products WHERE ProductID = 99")["affected"], 0)
                self.assertEqual(len(self.call(b, "finish")["tables"]["Products"]["rows"]), 25)
                products = self.call(a, "finish")["tables"]["Products"]["rows"]
                self.assertEqual([p[0] for p in products][-1], 26)
                self.assertNotIn(1, [p[0] for p in products])
            finally:
                self.bridge.end_sessions([a, b])

    def test_a_refused_change_leaves_the_session_usable(self):
        s = self.bridge.new_session(self.shop)
        try:
            null = self.call(s, "update", table="Products", key={"ProductID": 2}, values={"ProductName": None})
            self.assertEqual(null["error"]["number"], E_INTEGRITY)
            gone = self.call(s, "update", table="Products", key={"ProductID": 99}, values={"ProductName": "x"})
            self.assertEqual(gone["error"]["number"], E_NOT_LOCATED)
            changed = self.call(s, "update", table="Products", key={"ProductID": 2}, values={"ProductName": "Chang!"})
            self.assertEqual(changed["row"]["rows"][0][1], "Chang!")
            names = {p[0]: p[1] for p in self.call(s, "finish")["tables"]["Products"]["rows"]}
            self.assertEqual(names[2], "Chang!")
        finally:
            self.bridge.end_sessions([s])


if __name__ == "__main__":
    unittest.main()
