"""The include files' routines on their own: the formatters that keep request
values out of SQL and HTML, field values while adding and updating, field
errors and the lookup controls (include_checks.vbs, run as one page)."""

from __future__ import annotations

import re
import tempfile
import unittest
from pathlib import Path

from harness import Fixture
from generated import ROOT
from support import HERE, harness

TEMPLATES = ROOT / "data" / "Templates"
TABLE = "CREATE TABLE T (ID INTEGER PRIMARY KEY, Name VARCHAR(40), Flag BOOLEAN);" \
        "INSERT INTO T VALUES (7, 'Ann & Bob', 1);"

CONTROLS = {
    "sel": '<SELECT NAME="F 1"><OPTION VALUE="1">One</OPTION><OPTION VALUE="2" SELECTED>Two &amp; &lt;b&gt;'
           '</OPTION><OPTION VALUE="x&quot;y">Quote</OPTION></SELECT>',
    # A required list without a value offers an empty first choice.
    "sel req empty": '<SELECT NAME="F"><OPTION VALUE=""></OPTION><OPTION VALUE="1">One</OPTION>'
                     '<OPTION VALUE="2">Two &amp; &lt;b&gt;</OPTION><OPTION VALUE="x&quot;y">Quote</OPTION></SELECT>',
    "sel opt enc": '<SELECT NAME="F"><OPTION VALUE=""></OPTION><OPTION VALUE="1">One</OPTION><OPTION VALUE="2">'
                   'Two &amp; &lt;b&gt;</OPTION><OPTION VALUE="x&quot;y" SELECTED>Quote</OPTION></SELECT>',
    "radio": '<SPAN CLASS="RadioList"><LABEL><INPUT TYPE="Radio" NAME="R" VALUE="1" CHECKED>&nbsp;One</LABEL><BR>'
             '<LABEL><INPUT TYPE="Radio" NAME="R" VALUE="2">&nbsp;Two &amp; &lt;b&gt;</LABEL><BR><LABEL>'
             '<INPUT TYPE="Radio" NAME="R" VALUE="x&quot;y">&nbsp;Quote</LABEL></SPAN>',
    "radio empty": '<SPAN CLASS="RadioList"></SPAN>',
}


class IncludeFiles(unittest.TestCase):
    def test_routines_of_the_include_files(self):
        with tempfile.TemporaryDirectory(prefix="tvk-include-") as tmp:
            page = Path(tmp) / "checks.asp"
            page.write_text(
                "<%@ Language=VBScript %>\r\n<% Option Explicit %>\r\n"
                + "".join(f'<!--#INCLUDE FILE="{TEMPLATES / name}" -->\r\n'
                          for name in ("incTVKWDisplay.asp", "incTVKWAction.asp"))
                + "<%\r\n" + (HERE / "include_checks.vbs").read_text(encoding="utf-8") + "\r\n%>",
                encoding="cp1252", newline="")
            r = harness().run(harness().compile(page, root=tmp), form=[("Box", "1"), ("Name", "<x>")],
                              fixture=Fixture.from_sql(TABLE)).assert_ok()
        failures = [line for line in r.output.splitlines() if line.startswith("FAIL")]
        self.assertEqual(failures, [])
        self.assertIn("failures: 0", r.output)
        written = dict(re.findall(r"<!--([\w ]+)-->(.*?)<!--/\1-->", r.output, re.S))
        self.assertEqual(written, CONTROLS)


if __name__ == "__main__":
    unittest.main()
