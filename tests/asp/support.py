"""Shared set-up of the page tests: one harness per run, skipped without Wine."""

from __future__ import annotations

import os
import re
import unittest
from html.parser import HTMLParser
from pathlib import Path

from harness import Fixture, Harness, PageRequest, WineUnavailable
from harness.database import engine_dialect

HERE = Path(__file__).resolve().parent
FIXTURES = HERE / "fixtures"

_harness: Harness | None = None


def harness() -> Harness:
    """The run's harness; raises SkipTest where Wine cannot run the pages."""
    global _harness
    if _harness is None:
        workers = os.environ.get("TVK_ASP_WORKERS") or max(2, min(4, os.cpu_count() or 2))
        h = Harness(workers=int(workers))
        try:
            h.check()
        except WineUnavailable as e:
            raise unittest.SkipTest(str(e))
        _harness = h
    return _harness


def fixture(name: str) -> Fixture:
    return Fixture.from_file(FIXTURES / name)


def project_fixture(name: str) -> Fixture:
    """The fixture as the tables the test projects were made against: the
    pages' SQL names them as the projects spell them."""
    return fixture(name).named_exactly()


def sql_name(*parts: str) -> str:
    """A (table.)column name as the pages of the engine under test write it:
    bare when it is a plain name (for PostgreSQL, one without capitals),
    else in the dialect's quotes. Reserved words are not looked at."""
    dialect = engine_dialect()
    q = "`" if dialect == "MySQL" else '"'

    def one(name: str) -> str:
        if re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", name) and not (dialect == "PostgreSQL" and name != name.lower()):
            return name
        return q + name.replace(q, q + q) + q
    return ".".join(one(p) for p in parts)


# The visitor's session: the pages write its token into every form they
# write, and change records only for a POST that carries it back. Every
# request of run_all runs in this session unless it names its own.
TOKEN = "5E55104D7A1B4C2F9E0D3B6A8C7F1E24"
SESSION = {"Session.TVKW_Token": TOKEN}


def in_session(request: PageRequest, session: dict | None = None) -> PageRequest:
    """The request run in `session` (application values "Session.x"), by
    default the tests' own."""
    values = dict(SESSION if session is None else session)
    values.update(request.application or {})
    request.application = values
    return request


def run_all(requests: dict[str, PageRequest]) -> dict:
    """Runs named requests in one batch; returns the results by name."""
    for r in requests.values():
        if r.application is None:
            in_session(r)
    names = list(requests)
    results = harness().run_many([requests[n] for n in names])
    return dict(zip(names, results))


class _Table(HTMLParser):
    """Collects the rows of the HTML tables of a page: cell texts per row."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows: list[list[str]] = []
        self._cell: list[str] | None = None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self._cell = []

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self._cell is not None and self.rows:
            self.rows[-1].append("".join(self._cell).strip())
            self._cell = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell.append(data)


def table_rows(html: str) -> list[list[str]]:
    p = _Table()
    p.feed(html)
    return p.rows


class _ListTable(HTMLParser):
    """The data rows of the list page's table (CLASS="ListTable"): the cell
    texts of each row, and the link of its edit cell."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows: list[dict] = []
        self._depth = 0
        self._cell: list[str] | None = None

    def handle_starttag(self, tag, attrs):
        a = {k.lower(): v or "" for k, v in attrs}
        if tag == "table":
            if self._depth or a.get("class", "").lower() == "listtable":
                self._depth += 1
        elif self._depth == 1 and tag == "tr":
            self.rows.append({"class": a.get("class", ""), "cells": [], "edit": None})
        elif self._depth == 1 and tag == "td" and self.rows:
            self._cell = []
        elif self._depth == 1 and tag == "a" and self.rows and self._cell is None:
            self.rows[-1]["edit"] = a.get("href")

    def handle_endtag(self, tag):
        if tag == "table" and self._depth:
            self._depth -= 1
        elif tag == "td" and self._cell is not None:
            self.rows[-1]["cells"].append("".join(self._cell).strip(" \t\r\n"))
            self._cell = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell.append(data)


def list_rows(html: str) -> list[dict]:
    """Rows of the list table that show a record (the header row has no cells)."""
    p = _ListTable()
    p.feed(html)
    return [r for r in p.rows if r["cells"] and r["class"].lower() in ("evenline", "oddline")]


def unencoded_script(html: str) -> bool:
    """True when the page holds a <script> tag that it did not write itself."""
    return re.search(r"<\s*script", html, re.I) is not None
