"""Test databases for the mock ADO objects.

A fixture is an SQL script for SQLite (CREATE TABLE and INSERT statements).
The same script can build a real SQLite file for the wizard to read the
schema from, so the generated pages and the mock see the same tables.
Column types follow the wizard's mapping of SQLite declared types to ADO
type codes; an "INTEGER PRIMARY KEY" column fills itself.
"""

from __future__ import annotations

import re
import sqlite3
from pathlib import Path

_TYPES = [
    (r"^(INTEGER|INT|MEDIUMINT)$", 3, 4),
    (r"^SMALLINT$", 2, 2),
    (r"^TINYINT$", 17, 1),
    (r"^BIGINT$", 20, 8),
    (r"^(BOOLEAN|BOOL|BIT)$", 11, 2),
    (r"^(REAL|DOUBLE|DOUBLE PRECISION|FLOAT)$", 5, 8),
    (r"^(NUMERIC|DECIMAL)$", 131, None),
    (r"^(MONEY|CURRENCY)$", 6, 8),
    (r"^DATE$", 133, 0),
    (r"^TIME$", 134, 0),
    (r"^(DATETIME|TIMESTAMP)$", 135, 0),
    (r"^(CHAR|NCHAR|CHARACTER)$", 130, None),
    (r"^(VARCHAR|NVARCHAR|VARYING CHARACTER)$", 202, None),
    (r"^(TEXT|CLOB|MEMO|NTEXT)$", 203, 0),
    (r"^(BLOB|BINARY|VARBINARY)$", 205, 0),
]


def ado_type(declared: str) -> tuple[int, int]:
    """ADO type code and defined size of a SQLite declared type."""
    m = re.match(r"^\s*([A-Za-z ]+?)\s*(?:\(\s*(\d+)\s*(?:,\s*\d+\s*)?\))?\s*$", declared or "")
    if not m:
        return 12, 0
    name, size = m.group(1).upper(), m.group(2)
    for pattern, code, fixed in _TYPES:
        if re.match(pattern, name):
            if name in ("VARCHAR", "NVARCHAR") and size is None:
                return 203, 0
            if fixed is None:
                return code, int(size) if size else 0
            return code, fixed
    return 12, 0


class Fixture:
    def __init__(self, tables: list[dict]):
        self.tables = tables

    @classmethod
    def from_sql(cls, sql: str) -> "Fixture":
        db = sqlite3.connect(":memory:")
        try:
            db.executescript(sql)
            return cls(_read_tables(db))
        finally:
            db.close()

    @classmethod
    def from_file(cls, path: Path | str) -> "Fixture":
        return cls.from_sql(Path(path).read_text(encoding="utf-8"))

    def build_sqlite(self, sql: str, path: Path | str) -> None:
        """Writes the script's tables into a SQLite file."""
        Path(path).unlink(missing_ok=True)
        db = sqlite3.connect(str(path))
        try:
            db.executescript(sql)
        finally:
            db.close()

    def as_json(self) -> dict:
        return {"tables": self.tables}


def _read_tables(db: sqlite3.Connection) -> list[dict]:
    tables = []
    names = [r[0] for r in db.execute(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid")]
    for name in names:
        info = db.execute(f'PRAGMA table_info("{name}")').fetchall()
        pk_cols = [r for r in info if r[5] > 0]
        columns = []
        for cid, col, declared, notnull, default, pk in info:
            code, size = ado_type(declared)
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
