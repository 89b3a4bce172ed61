"""Runs Active Server Pages in Wine's VBScript engine with mock ASP and ADO.

    h = Harness()
    page = h.compile("OrdersList.asp")
    result = h.run(page, query={"CurrPage": "2"}, fixture=Fixture.from_file("shop.sql"))
    result.assert_ok()
    result.output, result.redirect, result.statements, result.table("Orders")

`run_many` runs a list of `PageRequest`s in one go (much faster than one
`run` each). A failing page reports the page's file and line.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from pathlib import Path

from .compiler import CompiledPage, CompileError, Origin, compile_page
from .fixture import Fixture
from .runner import WineRunner, WineUnavailable
from . import vbs

__all__ = ["Harness", "PageRequest", "PageResult", "Fixture", "CompiledPage", "CompileError",
           "Origin", "WineUnavailable", "compile_page"]

# Statements the page sent to the database (as opposed to the log of effects).
RECEIVED_KINDS = ("connect", "open", "execute", "find")

E_FAIL = -2147467259

# Errors the engine reports by number only.
KNOWN_ERRORS = {
    -2147352558: "Division by zero",
    -2147352571: "Type mismatch",
    -2147352565: "Subscript out of range",
    -2147352562: "Wrong number of arguments or invalid property assignment",
    -2147352573: "Member not found",
    -2147352570: "Unknown name",
}


def _pairs(values) -> list[list[str]]:
    if values is None:
        return []
    if isinstance(values, dict):
        values = values.items()
    return [[str(k), str(v)] for k, v in values]


@dataclass
class PageRequest:
    page: CompiledPage
    query: dict | list | None = None
    form: dict | list | None = None
    fixture: Fixture | None = None
    application: dict | None = None

    def job(self) -> dict:
        return {
            "code": self.page.code,
            "request": {"query": _pairs(self.query), "form": _pairs(self.form)},
            "application": dict(self.application or {}),
            "fixture": self.fixture.as_json() if self.fixture else {"tables": []},
        }


@dataclass
class PageResult:
    request: PageRequest
    status: str
    output: str = ""
    redirects: list[str] = field(default_factory=list)
    statements: list[dict] = field(default_factory=list)
    changes: list[dict] = field(default_factory=list)
    tables: dict = field(default_factory=dict)
    notes: list[str] = field(default_factory=list)
    raised: list[str] = field(default_factory=list)   # errors the mock database raised
    after_end: list[str] = field(default_factory=list)
    expires: object = None
    ended: bool = False
    error: dict | None = None
    where: Origin | None = None
    called_from: Origin | None = None    # the page line that called a failing mock

    @classmethod
    def from_raw(cls, request: PageRequest, raw: dict) -> "PageResult":
        r = cls(request=request, status=raw.get("status", "harness_error"),
                output=raw.get("output", ""), redirects=raw.get("redirects", []),
                statements=raw.get("statements", []), changes=raw.get("changes", []),
                tables=raw.get("tables", {}), notes=raw.get("notes", []), raised=raw.get("raised", []),
                after_end=raw.get("afterEnd", []), expires=raw.get("expires"),
                ended=raw.get("ended", False), error=raw.get("error"))
        if r.error and r.error.get("line"):
            r.where = request.page.origin(int(r.error["line"]))
        return r

    # ---- outcome

    @property
    def ok(self) -> bool:
        """The page ran to its end, or stopped with Response.End."""
        return self.status in ("ok", "ended")

    @property
    def redirect(self) -> str | None:
        return self.redirects[-1] if self.redirects else None

    def received(self) -> list[str]:
        """Every text the page sent to the database (connection strings
        included), in order."""
        return [s["text"] for s in self.statements if s["kind"] in RECEIVED_KINDS]

    def sql(self) -> list[str]:
        """The SQL statements, table names and Find criteria the page sent."""
        return [s["text"] for s in self.statements if s["kind"] in ("open", "execute", "find")]

    def table(self, name: str) -> list[dict]:
        """The rows of a table after the page ran, as dictionaries."""
        for tname, t in self.tables.items():
            if tname.lower() == name.lower():
                return [dict(zip(t["columns"], row)) for row in t["rows"]]
        raise KeyError(name)

    def message(self) -> str:
        """What went wrong, against the page's file and line."""
        if self.ok:
            return f"{self.request.page.path.name}: ran without error"
        err = self.error or {}
        desc = err.get("description") or ""
        number = err.get("number")
        if not desc and number in KNOWN_ERRORS:
            desc = KNOWN_ERRORS[number]
        if not desc:
            if self.status == "compile_error":
                desc = "syntax error (the engine gives no description)"
            elif number == E_FAIL:
                desc = ("error without a description: the engine reports an undeclared variable "
                        "under Option Explicit, a call with the wrong number of arguments or a "
                        "call of an unknown procedure this way")
        where = self.where
        lines = []
        source = err.get("source") or ""
        tag = f" [{source}]" if source and "VBScript" not in source else ""
        in_mock = where is not None and where.file == "mock_asp.vbs"
        if in_mock or (where is None and self.called_from is not None):
            at = self.called_from or where
            lines.append(f"{self.status} at {at}: {desc}{tag}")
            if self.called_from is not None:
                src = self.request.page.source_line(self.called_from)
                if src.strip():
                    lines.append("    " + src.strip())
            lines.append("  (raised by the harness's mock objects"
                         + (f" at {where}" if in_mock else "") + ")")
        elif where is not None:
            col = err.get("column")
            lines.append(f"{self.status} at {where}{':' + str(col + 1) if col else ''}: {desc}{tag}")
            src = self.request.page.source_line(where)
            if src.strip():
                lines.append("    " + src.strip())
            if self.status == "runtime_error":
                procs, variables = vbs.declared_names(self.request.page.code)
                for name in vbs.unknown_calls(src, procs | variables):
                    lines.append(f"  '{name}' is not defined by the page, its include files or the harness")
        else:
            lines.append(f"{self.status} in {self.request.page.path.name}: {desc}")
        if self.status == "compile_error":
            problem = vbs.check_blocks(self.request.page.code_lines)
            if problem:
                lines.append("  block check: " + problem)
        recent = self.received()[-3:]
        if recent and self.status not in ("compile_error",):
            lines.append("  last statements sent to the database:")
            lines.extend("    " + s for s in recent)
        if self.notes:
            lines.extend("  note: " + n for n in self.notes)
        return "\n".join(lines)

    def assert_ok(self) -> "PageResult":
        if not self.ok:
            raise AssertionError(self.message())
        return self


class Harness:
    def __init__(self, workers: int = 2, job_timeout: float = 20.0):
        self.runner = WineRunner(workers=workers, job_timeout=job_timeout)
        self._pages: dict = {}
        self._roots: dict[Path, Path | None] = {}

    def check(self) -> None:
        """Raises WineUnavailable when the pages cannot run here."""
        self.runner.check()

    def compile(self, path: Path | str, root: Path | str | None = None) -> CompiledPage:
        key = Path(path).resolve()
        if key not in self._pages:
            self._pages[key] = compile_page(key, root=root)
            self._roots[key] = Path(root) if root else None
        return self._pages[key]

    def run(self, page: CompiledPage | Path | str, **request) -> PageResult:
        if not isinstance(page, CompiledPage):
            page = self.compile(page)
        return self.run_many([PageRequest(page=page, **request)])[0]

    def run_many(self, requests: list[PageRequest]) -> list[PageResult]:
        raws = self.runner.run([r.job() for r in requests])
        results = [PageResult.from_raw(req, raw) for req, raw in zip(requests, raws)]
        self._locate_mock_errors(results)
        return results

    def _locate_mock_errors(self, results: list[PageResult]) -> None:
        """An error raised inside a mock object names a line of the prelude;
        run those pages again with line tracing to find the page's line."""
        failed = [r for r in results
                  if r.status == "runtime_error" and (r.where is None or r.where.file == "mock_asp.vbs")]
        if not failed:
            return
        traced = []
        for r in failed:
            page = r.request.page
            key = ("trace", page.path.resolve())
            if key not in self._pages:
                self._pages[key] = compile_page(page.path, root=self._roots.get(page.path.resolve()),
                                                trace=True)
            req = PageRequest(**{**r.request.__dict__, "page": self._pages[key]})
            traced.append(req)
        raws = self.runner.run([t.job() for t in traced])
        for r, t, raw in zip(failed, traced, raws):
            line = raw.get("pendingLine") or raw.get("lastLine") or 0
            if line:
                r.called_from = t.page.origin(t.page.page_offset + line)

    def close(self) -> None:
        self.runner.close()
