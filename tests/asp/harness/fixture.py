"""Test databases for the mock ADO objects.

A fixture is an SQL script for SQLite (CREATE TABLE and INSERT statements).
The script is built into a SQLite file, and each table's column types (ADO
type code and defined size) are what the wizard itself reads from that file
(`tvkwizard schema --table`), so the mock types a column exactly as the
generated pages were written for. An "INTEGER PRIMARY KEY" column fills
itself.
"""

from __future__ import annotations

import os
import sqlite3
import subprocess
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent.parent


def wizard_binary() -> Path:
    """The tvkwizard under test (TVK_BINARY_DIR, default build/); a missing
    program is a failure, not a reason to skip."""
    path = Path(os.environ.get("TVK_BINARY_DIR", ROOT / "build")) / "tvkwizard"
    if not path.is_file():
        raise AssertionError(f"no tvkwizard at {path}: build it first")
    return path


def column_types(database: Path, table: str) -> dict[str, tuple[int, int]]:
    """Type code and defined size of each column (by lower-case name), as the
    wizard reads them from a SQLite file."""
    proc = subprocess.run([str(wizard_binary()), "schema", "--connection", f"Driver={{SQLite3}};Database={database}",
                           "--table", table], capture_output=True, text=True, timeout=60)
    if proc.returncode != 0:
        raise AssertionError(f"tvkwizard schema --table {table} failed ({proc.returncode}): {proc.stderr}")
    types = {}
    for field in ET.fromstring(proc.stdout).findall("Fields/Field"):
        size = field.findtext("FieldSize") or "0"
        types[(field.findtext("FieldName") or "").lower()] = (int(field.findtext("DataType")),
                                                              int(size) if size.isdigit() else 0)
    return types


class Fixture:
    def __init__(self, tables: list[dict]):
        self.tables = tables

    @classmethod
    def from_sql(cls, sql: str) -> "Fixture":
        with tempfile.TemporaryDirectory(prefix="tvk-fixture-") as tmp:
            path = Path(tmp) / "fixture.db"
            db = sqlite3.connect(str(path))
            try:
                db.executescript(sql)
                db.commit()
                return cls(_read_tables(db, path))
            finally:
                db.close()

    @classmethod
    def from_file(cls, path: Path | str) -> "Fixture":
        return cls.from_sql(Path(path).read_text(encoding="utf-8"))

    def named_exactly(self) -> "Fixture":
        """The tables with their names as spelled, where an engine would fold
        a bare name (PostgreSQL): the tables a wizard project was made
        against, whose pages quote a name as its catalogue spells it."""
        return Fixture([dict(t, exact_names=True) for t in self.tables])

    def as_json(self) -> dict:
        return {"tables": self.tables}


def _read_tables(db: sqlite3.Connection, path: Path) -> list[dict]:
    tables = []
    names = [r[0] for r in db.execute(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid")]
    for name in names:
        info = db.execute(f'PRAGMA table_info("{name}")').fetchall()
        pk_cols = [r for r in info if r[5] > 0]
        types = column_types(path, name)
        columns = []
        for cid, col, declared, notnull, default, pk in info:
            code, size = types[col.lower()]
            rowid = pk > 0 and len(pk_cols) == 1 and (declared or "").upper() == "INTEGER"
            column = {"name": col, "type": code, "size": size,
                      "nullable": not notnull, "autoinc": rowid, "pk": pk > 0}
            if default is not None:
                column["default"] = db.execute(f"SELECT {default}").fetchone()[0]
                if code == 11:
                    column["default"] = bool(column["default"])
            columns.append(column)
        rows = []
        for row in db.execute(f'SELECT * FROM "{name}" ORDER BY rowid'):
            values = []
            for value, column in zip(row, columns):
                if column["type"] == 11 and value is not None:
                    value = bool(value)
                values.append(value)
            rows.append(values)
        tables.append({"name": name, "columns": columns, "rows": rows})
    return tables
