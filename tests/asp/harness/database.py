"""The real databases behind the mock ADO objects.

Every statement a page sends goes to a real engine: SQLite (always, through
Python's sqlite3), PostgreSQL (psycopg2) or MariaDB (pymysql). The engine is
chosen by TVK_ASP_DB (sqlite, postgres or mariadb); the servers are the
ones scripts/start-test-postgres and scripts/start-test-mariadb start
(TVK_TEST_PG_PAGES, TVK_TEST_MARIADB_PAGES: ODBC connection strings).

A fixture (a list of tables with ADO-typed columns and rows) becomes tables
of the engine. Each page run is a session over its own copy of the fixture:
SQLite copies an in-memory database; the servers keep one schema per
fixture and concurrent session, and run each session in a transaction that
is rolled back at its end (each statement under a savepoint, so that a
statement the server refuses leaves the session usable, as with autocommit).

The SQL is passed to the engine as the page wrote it. Only the harness's own
statements (creating the fixture, writing a recordset's changes, reading the
tables back) are written here, for each engine.
"""

from __future__ import annotations

import datetime
import decimal
import hashlib
import json
import os
import re
import sqlite3
import threading

INT_TYPES = {2, 3, 16, 17, 18, 19, 20, 21}
REAL_TYPES = {4, 5, 14, 131, 139}
CURRENCY_TYPES = {6}
DATE_TYPES = {7, 64, 133, 134, 135}
TEXT_TYPES = {8, 72, 129, 130, 200, 201, 202, 203}
LONG_TEXT_TYPES = {201, 203}

# ADO error numbers the pages may meet.
E_SYNTAX = -2147217900       # 80040E14: the statement was refused
E_INTEGRITY = -2147217873    # 80040E2F: NOT NULL, key or other constraint
E_MISMATCH = -2147217913     # 80040E07: a value of the wrong type
E_NOT_LOCATED = -2147217864  # 80040E38: row cannot be located for updating


class DatabaseUnavailable(Exception):
    """The engine TVK_ASP_DB names cannot be used here."""


def type_class(code: int) -> str:
    if code in INT_TYPES:
        return "int"
    if code in REAL_TYPES or code in CURRENCY_TYPES:
        return "real"
    if code == 11:
        return "bool"
    if code in DATE_TYPES:
        return "date"
    if code in TEXT_TYPES:
        return "text"
    return "other"


def fixture_key(tables: list[dict]) -> str:
    return hashlib.sha1(json.dumps(tables, sort_keys=True).encode()).hexdigest()[:12]


def odbc_parts(connection: str) -> dict[str, str]:
    """The key=value pairs of an ODBC connection string, keys in lower case."""
    parts = {}
    for item in connection.split(";"):
        if "=" in item:
            k, v = item.split("=", 1)
            parts[k.strip().lower()] = v.strip()
    return parts


def _date_text(v) -> str:
    if isinstance(v, datetime.datetime):
        return v.strftime("%Y-%m-%d %H:%M:%S")
    if isinstance(v, datetime.date):
        return v.strftime("%Y-%m-%d 00:00:00")
    s = str(v).replace("T", " ")
    return s + " 00:00:00" if len(s) == 10 else s[:19]


def to_wire(v, code: int):
    """A database value as the script side takes it: numbers, booleans, text,
    dates as "YYYY-MM-DD HH:MM:SS", None."""
    if v is None:
        return None
    cls = type_class(code)
    if cls == "bool":
        return bool(v)
    if cls == "date":
        return _date_text(v)
    if isinstance(v, decimal.Decimal):
        return float(v)
    if isinstance(v, (bytes, bytearray, memoryview)):
        return bytes(v).decode("latin-1")
    if isinstance(v, (datetime.date, datetime.time)):
        return str(v)
    if cls == "int" and isinstance(v, float) and v.is_integer():
        return int(v)
    return v


def _value_type(v) -> int:
    if isinstance(v, bool):
        return 11
    if isinstance(v, int):
        return 3
    if isinstance(v, (float, decimal.Decimal)):
        return 5
    if isinstance(v, (datetime.date, datetime.datetime)):
        return 135
    return 202


class StatementError(Exception):
    def __init__(self, number: int, description: str):
        super().__init__(description)
        self.number = number
        self.description = description


# ------------------------------------------------------------------ engines

PARAM = "\x00"


class Engine:
    """What differs between the databases: types, quoting, placeholders,
    connecting, and preparing a copy of a fixture for a session."""

    name = ""
    # The SQLDialect the wizard stores for a project made against this
    # database (the name its provider reports leads to this dialect).
    dialect = ""
    # The harness's own statements with parameters are written with this
    # mark and handed to the driver through bind().
    placeholder = PARAM
    paramstyle = "?"
    integrity_errors: tuple = ()
    data_errors: tuple = ()

    def bind(self, sql: str) -> str:
        """A statement with parameter marks in the driver's style. A
        "format" driver (psycopg2, pymysql) reads every "%" of a statement
        with parameters, so a "%" of a name is doubled."""
        if self.paramstyle == "?":
            return sql.replace(PARAM, "?")
        return sql.replace("%", "%%").replace(PARAM, "%s")

    def quote(self, name: str, exact: bool = False) -> str:
        """The name in this engine's SQL. `exact` keeps its case where the
        engine would fold a bare name (a table marked "exact_names")."""
        raise NotImplementedError

    def ident(self, table: dict, name: str) -> str:
        """A name of this table (its own or a column's) in the harness's SQL."""
        return self.quote(name, bool(table.get("exact_names")))

    def column_type(self, column: dict) -> str:
        raise NotImplementedError

    def literal_default(self, column: dict) -> str:
        v = column["default"]
        if isinstance(v, bool):
            return "TRUE" if v else "FALSE"
        if isinstance(v, (int, float)):
            return repr(v)
        return "'" + str(v).replace("'", "''") + "'"

    def create_statements(self, table: dict) -> list[str]:
        cols = []
        keys = [c for c in table["columns"] if c.get("pk")]
        for i, c in enumerate(table["columns"]):
            if type_class(c["type"]) == "text" and c.get("size"):
                # Test data may hold a text longer than its column (SQLite,
                # where fixtures are written, does not check): the column
                # is made wide enough for it; the pages still see the
                # declared size.
                longest = max((len(str(r[i])) for r in table["rows"] if i < len(r) and r[i] is not None),
                              default=0)
                c = dict(c, size=max(c["size"], longest))
            text = f"{self.ident(table, c['name'])} {self.column_type(c)}"
            if c.get("autoinc") and len(keys) == 1:
                text += " " + self.identity_clause()
            else:
                if not c.get("nullable", True):
                    text += " NOT NULL"
                if c.get("default") is not None:
                    text += " DEFAULT " + self.literal_default(c)
            cols.append(text)
        if keys and not (len(keys) == 1 and keys[0].get("autoinc")):
            cols.append("PRIMARY KEY (" + ", ".join(self.ident(table, c["name"]) for c in keys) + ")")
        return [f"CREATE TABLE {self.ident(table, table['name'])} (" + ", ".join(cols) + ")"]

    def identity_clause(self) -> str:
        raise NotImplementedError

    def error(self, e: Exception) -> StatementError:
        number = E_SYNTAX
        if isinstance(e, self.integrity_errors):
            number = E_INTEGRITY
        elif isinstance(e, self.data_errors):
            number = E_MISMATCH
        text = str(e).strip().splitlines()[0] if str(e).strip() else type(e).__name__
        return StatementError(number, f"[{self.name}] {text}")


def _text_type(column: dict, long_type: str) -> str:
    size = column.get("size") or 0
    if column["type"] in LONG_TEXT_TYPES or size <= 0 or size > 4000:
        return long_type
    return f"VARCHAR({size})"


class SqliteEngine(Engine):
    name = "SQLite"
    dialect = "SQLite"
    paramstyle = "?"
    integrity_errors = (sqlite3.IntegrityError,)
    data_errors = (sqlite3.DataError,)

    def quote(self, name, exact=False):
        return '"' + name.replace('"', '""') + '"'

    def column_type(self, c):
        cls = type_class(c["type"])
        if c.get("autoinc"):
            return "INTEGER"
        return {"int": "INTEGER", "real": "REAL", "bool": "BOOLEAN", "text": _text_type(c, "TEXT"),
                "date": "DATE" if c["type"] == 133 else "DATETIME"}.get(cls, "TEXT")

    def identity_clause(self):
        return "PRIMARY KEY"

    def literal_default(self, column):
        v = column["default"]
        if isinstance(v, bool):
            return "1" if v else "0"
        return super().literal_default(column)


class PostgresEngine(Engine):
    name = "PostgreSQL"
    dialect = "PostgreSQL"
    paramstyle = "%s"

    def __init__(self, connection: str):
        import psycopg2  # Debian: python3-psycopg2
        self.driver = psycopg2
        self.integrity_errors = (psycopg2.IntegrityError,)
        self.data_errors = (psycopg2.DataError,)
        p = odbc_parts(connection)
        self.params = {"host": p.get("server", "127.0.0.1"), "port": int(p.get("port", "5432")),
                       "user": p.get("uid", ""), "password": p.get("pwd", ""),
                       "dbname": p.get("database", "")}

    def connect(self, schema: str | None = None):
        conn = self.driver.connect(**self.params)
        if schema:
            with conn.cursor() as cur:
                cur.execute(f"SET search_path TO {schema}")
            conn.commit()
        return conn

    # Unquoted names, as a DBA writes them: the server folds them to lower
    # case, and so does every unquoted name of the pages' SQL. Tables made
    # for a project keep its names as they are spelled (quoted), as the
    # wizard reads them from the catalogue of the database it was made
    # against; the pages then quote every name with a capital letter.
    def quote(self, name, exact=False):
        if not exact and re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", name):
            return name
        return '"' + name.replace('"', '""') + '"'

    def column_type(self, c):
        t = c["type"]
        cls = type_class(t)
        if cls == "int":
            return {2: "smallint", 16: "smallint", 17: "smallint", 20: "bigint", 21: "bigint"}.get(t, "integer")
        if cls == "real":
            return "numeric(19,4)" if t in (6, 14, 131, 139) else ("real" if t == 4 else "double precision")
        if cls == "bool":
            return "boolean"
        if cls == "date":
            return "date" if t == 133 else "timestamp"
        return _text_type(c, "text")

    def identity_clause(self):
        return "GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"


class MariaEngine(Engine):
    name = "MariaDB"
    dialect = "MySQL"
    paramstyle = "%s"

    def __init__(self, connection: str):
        import pymysql  # Debian: python3-pymysql
        self.driver = pymysql
        self.integrity_errors = (pymysql.err.IntegrityError,)
        self.data_errors = (pymysql.err.DataError,)
        p = odbc_parts(connection)
        self.params = {"host": p.get("server", "127.0.0.1"), "port": int(p.get("port", "3306")),
                       "user": p.get("uid", ""), "password": p.get("pwd", "")}
        self.database = p.get("database", "")

    def connect(self, schema: str | None = None):
        conn = self.driver.connect(**self.params, database=schema or self.database, charset="utf8mb4",
                                   autocommit=False)
        with conn.cursor() as cur:
            # Strict mode: a value the column cannot hold is an error, not a
            # silent truncation (the server's default since 10.2.4).
            cur.execute("SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION'")
        return conn

    def quote(self, name, exact=False):
        return "`" + name.replace("`", "``") + "`"

    def column_type(self, c):
        t = c["type"]
        cls = type_class(t)
        if cls == "int":
            return {2: "SMALLINT", 16: "TINYINT", 17: "TINYINT UNSIGNED", 20: "BIGINT"}.get(t, "INT")
        if cls == "real":
            return "DECIMAL(19,4)" if t in (6, 14, 131, 139) else ("FLOAT" if t == 4 else "DOUBLE")
        if cls == "bool":
            return "BOOLEAN"
        if cls == "date":
            return "DATE" if t == 133 else "DATETIME"
        if c.get("pk") and (c.get("size") or 0) <= 0:
            return "VARCHAR(255)"
        return _text_type(c, "TEXT")

    def identity_clause(self):
        return "AUTO_INCREMENT PRIMARY KEY"

    def literal_default(self, column):
        v = column["default"]
        if isinstance(v, bool):
            return "1" if v else "0"
        return super().literal_default(column)


def _engine_kind() -> str:
    kind = (os.environ.get("TVK_ASP_DB") or "sqlite").lower()
    return "postgres" if kind in ("postgresql", "pg") else kind


def engine_dialect() -> str:
    """The SQLDialect of the engine TVK_ASP_DB names, without reaching it."""
    classes = {"sqlite": SqliteEngine, "postgres": PostgresEngine, "mariadb": MariaEngine}
    kind = _engine_kind()
    if kind not in classes:
        raise DatabaseUnavailable(f"unknown TVK_ASP_DB '{kind}' (sqlite, postgres or mariadb)")
    return classes[kind].dialect


def engine_from_environment() -> Engine:
    kind = _engine_kind()
    if kind == "sqlite":
        return SqliteEngine()
    if kind == "postgres":
        conn = os.environ.get("TVK_TEST_PG_PAGES")
        if not conn:
            raise DatabaseUnavailable("TVK_ASP_DB=postgres needs TVK_TEST_PG_PAGES (scripts/start-test-postgres)")
        try:
            return PostgresEngine(conn)
        except ImportError as e:
            raise DatabaseUnavailable(f"psycopg2 is missing ({e}); install python3-psycopg2")
    if kind == "mariadb":
        conn = os.environ.get("TVK_TEST_MARIADB_PAGES")
        if not conn:
            raise DatabaseUnavailable("TVK_ASP_DB=mariadb needs TVK_TEST_MARIADB_PAGES (scripts/start-test-mariadb)")
        try:
            return MariaEngine(conn)
        except ImportError as e:
            raise DatabaseUnavailable(f"pymysql is missing ({e}); install python3-pymysql")
    raise DatabaseUnavailable(f"unknown TVK_ASP_DB '{kind}' (sqlite, postgres or mariadb)")


# ----------------------------------------------------------------- sessions

class Session:
    """One page run's database: a connection over its own copy of the
    fixture."""

    def __init__(self, db: "Databases", key: str, tables: list[dict], conn, slot):
        self.db = db
        self.key = key
        self.engine = db.engine
        self.tables = tables
        self.conn = conn
        self.slot = slot
        self.inserted = False
        self.savepoints = not isinstance(self.engine, SqliteEngine)

    # ---- metadata

    def table_of(self, name: str) -> dict | None:
        n = name.strip().strip("[]`\"").lower()
        for t in self.tables:
            if t["name"].lower() == n:
                return t
        return None

    def _tables_in(self, sql: str) -> list[dict]:
        # Bare names and names in the quotes of each engine's SQL; a quote
        # inside a text literal is data.
        code = re.sub(r"'(?:[^']|'')*'", "''", sql)
        words = re.findall(r'[A-Za-z_][A-Za-z0-9_]*|\[[^\]]+\]|"(?:[^"]|"")+"|`(?:[^`]|``)+`', code)
        words = [w[1:-1].replace(w[0] * 2, w[0]) if w[0] in '"`' else w.strip("[]") for w in words]
        found = []
        for w in words:
            t = self.table_of(w)
            if t is not None and t not in found:
                found.append(t)
        return found

    def _describe(self, sql: str, names: list[str], rows: list) -> dict:
        """Columns of a result: a result column named as a column of a table
        the statement names takes that column's type; others take the type of
        their values."""
        tables = self._tables_in(sql)
        cols = []
        for i, name in enumerate(names):
            column, owner = None, None
            for t in tables:
                for c in t["columns"]:
                    if c["name"].lower() == name.lower():
                        column, owner = c, t
                        break
                if column:
                    break
            if column:
                cols.append({"name": name, "type": column["type"], "size": column.get("size") or 0,
                             "table": owner["name"], "column": column["name"],
                             "autoinc": bool(column.get("autoinc")), "pk": bool(column.get("pk"))})
            else:
                sample = next((r[i] for r in rows if r[i] is not None), None)
                cols.append({"name": name, "type": _value_type(sample), "size": 0, "table": None,
                             "column": None, "autoinc": False, "pk": False})
        # Updatable when every column comes from one table whose key is there.
        owners = {c["table"] for c in cols}
        base = None
        if len(owners) == 1 and None not in owners and len(tables) == 1:
            t = self.table_of(owners.pop())
            keys = [c["name"].lower() for c in t["columns"] if c.get("pk")]
            present = {c["column"].lower() for c in cols}
            if keys and all(k in present for k in keys):
                base = t["name"]
        return {"columns": cols, "base": base}

    # ---- statements

    def _run(self, sql: str, params=()):
        """Runs one statement; returns (column names, rows, rowcount, lastrowid)."""
        cur = self.conn.cursor()
        try:
            if self.savepoints:
                cur.execute("SAVEPOINT tvk_stmt")
            try:
                if params:
                    cur.execute(self.engine.bind(sql), params)
                else:
                    cur.execute(sql)
                names = [d[0] for d in cur.description] if cur.description else []
                rows = [list(r) for r in cur.fetchall()] if cur.description else []
                result = names, rows, cur.rowcount, getattr(cur, "lastrowid", None)
            except Exception as e:
                if self.savepoints:
                    cur.execute("ROLLBACK TO SAVEPOINT tvk_stmt")
                if isinstance(e, self.engine_errors()):
                    raise self.engine.error(e)
                raise
            if self.savepoints:
                cur.execute("RELEASE SAVEPOINT tvk_stmt")
            return result
        finally:
            cur.close()

    def engine_errors(self) -> tuple:
        if isinstance(self.engine, SqliteEngine):
            return (sqlite3.Error,)
        return (self.engine.driver.Error,) if hasattr(self.engine, "driver") else (Exception,)

    def _result(self, sql: str, names, rows) -> dict:
        desc = self._describe(sql, names, rows)
        types = [c["type"] for c in desc["columns"]]
        return {"columns": desc["columns"], "base": desc["base"],
                "rows": [[to_wire(v, t) for v, t in zip(r, types)] for r in rows]}

    def query(self, sql: str, as_table: bool) -> dict:
        if as_table:
            # A table opened by name: the provider reads all of it.
            sql = "SELECT * FROM " + sql.strip()
        names, rows, _, _ = self._run(sql)
        if not names:
            raise StatementError(E_SYNTAX, f"[{self.engine.name}] the statement returns no records: {sql}")
        return self._result(sql, names, rows)

    def execute(self, sql: str) -> dict:
        names, rows, count, _ = self._run(sql)
        if names:
            return {"records": self._result(sql, names, rows), "affected": -1}
        return {"records": None, "affected": count}

    def _params(self, table: dict, values: dict) -> tuple[list[str], list]:
        cols, params = [], []
        by_name = {c["name"].lower(): c for c in table["columns"]}
        for name, v in values.items():
            c = by_name[name.lower()]
            if v is not None and type_class(c["type"]) == "bool":
                v = bool(v)
            cols.append(self.engine.ident(table, c["name"]))
            params.append(v)
        return cols, params

    def _where_key(self, table: dict, key: dict) -> tuple[str, list]:
        parts, params = [], []
        for name, v in key.items():
            parts.append(f"{self.engine.ident(table, name)} = {self.engine.placeholder}")
            params.append(v)
        return " AND ".join(parts), params

    def _row_by_key(self, table: dict, key: dict) -> dict | None:
        where, params = self._where_key(table, key)
        sql = f"SELECT * FROM {self.engine.ident(table, table['name'])} WHERE {where}"
        names, rows, _, _ = self._run(sql, params)
        if not rows:
            return None
        return self._result(table["name"], names, rows)

    def insert(self, table_name: str, values: dict) -> dict:
        """A recordset's new row; returns the row as the table now holds it."""
        table = self.table_of(table_name)
        cols, params = self._params(table, values)
        q = self.engine.ident(table, table["name"])
        if cols:
            sql = f"INSERT INTO {q} ({', '.join(cols)}) VALUES ({', '.join([self.engine.placeholder] * len(cols))})"
        elif isinstance(self.engine, MariaEngine):
            sql = f"INSERT INTO {q} () VALUES ()"
        else:
            sql = f"INSERT INTO {q} DEFAULT VALUES"
        keys = [c for c in table["columns"] if c.get("pk")]
        auto = next((c for c in keys if c.get("autoinc")), None)
        if isinstance(self.engine, PostgresEngine) and auto is not None:
            sql += f" RETURNING {self.engine.ident(table, auto['name'])}"
        names, rows, _, lastrowid = self._run(sql, params)
        self.inserted = True
        key = {}
        for c in keys:
            given = next((v for k, v in values.items() if k.lower() == c["name"].lower()), None)
            if given is None and c is auto:
                given = rows[0][0] if rows else lastrowid
            key[c["name"]] = given
        return {"row": self._row_by_key(table, key) if keys else None}

    def update(self, table_name: str, key: dict, values: dict) -> dict:
        table = self.table_of(table_name)
        cols, params = self._params(table, values)
        where, kparams = self._where_key(table, key)
        sets = ", ".join(f"{c} = {self.engine.placeholder}" for c in cols)
        sql = f"UPDATE {self.engine.ident(table, table['name'])} SET {sets} WHERE {where}"
        _, _, count, _ = self._run(sql, params + kparams)
        if count == 0:
            raise StatementError(E_NOT_LOCATED, "Row cannot be located for updating. Some values may have "
                                                "been changed since it was last read.")
        new_key = dict(key)
        for name in key:
            for k, v in values.items():
                if k.lower() == name.lower():
                    new_key[name] = v
        return {"row": self._row_by_key(table, new_key)}

    def dump(self) -> dict:
        """Every fixture table as it is now: column names as the fixture
        spells them, rows in key order."""
        out = {}
        for t in self.tables:
            keys = [c["name"] for c in t["columns"] if c.get("pk")] or [t["columns"][0]["name"]]
            order = ", ".join(self.engine.ident(t, k) for k in keys)
            cols = ", ".join(self.engine.ident(t, c["name"]) for c in t["columns"])
            _, rows, _, _ = self._run(f"SELECT {cols} FROM {self.engine.ident(t, t['name'])} ORDER BY {order}")
            types = [c["type"] for c in t["columns"]]
            out[t["name"]] = {"columns": [c["name"] for c in t["columns"]],
                              "rows": [[to_wire(v, ty) for v, ty in zip(r, types)] for r in rows]}
        return out

    def close(self) -> None:
        self.db.release(self)


class Databases:
    """The engine, the fixtures loaded into it, and the sessions."""

    def __init__(self, engine: Engine | None = None):
        self.engine = engine or engine_from_environment()
        self.lock = threading.Lock()
        self.fixtures: dict[str, list[dict]] = {}
        self.templates: dict[str, sqlite3.Connection] = {}
        self.free: dict[str, list] = {}     # fixture key -> idle (schema, connection)
        self.schemas: list[str] = []
        self.run_id = os.urandom(3).hex()
        self.admin = None

    def check(self) -> None:
        """Raises DatabaseUnavailable when the server cannot be reached."""
        if isinstance(self.engine, SqliteEngine):
            return
        try:
            conn = self.engine.connect()
        except Exception as e:
            raise DatabaseUnavailable(f"{self.engine.name} cannot be reached: {e}")
        self.admin = conn

    def register(self, tables: list[dict]) -> str:
        key = fixture_key(tables)
        with self.lock:
            self.fixtures.setdefault(key, json.loads(json.dumps(tables)))
        return key

    def _load(self, conn, tables: list[dict]) -> None:
        cur = conn.cursor()
        for t in tables:
            for sql in self.engine.create_statements(t):
                cur.execute(sql)
            if t["rows"]:
                cols = ", ".join(self.engine.ident(t, c["name"]) for c in t["columns"])
                marks = ", ".join([PARAM] * len(t["columns"]))
                cur.executemany(self.engine.bind(f"INSERT INTO {self.engine.ident(t, t['name'])} ({cols}) VALUES ({marks})"),
                                [list(r) + [None] * (len(t["columns"]) - len(r)) for r in t["rows"]])
        cur.close()

    def open(self, key: str) -> Session:
        tables = self.fixtures[key]
        if isinstance(self.engine, SqliteEngine):
            with self.lock:
                template = self.templates.get(key)
                if template is None:
                    template = sqlite3.connect(":memory:", check_same_thread=False)
                    self._load(template, tables)
                    template.commit()
                    self.templates[key] = template
                conn = sqlite3.connect(":memory:", check_same_thread=False, isolation_level=None)
                template.backup(conn)
            return Session(self, key, tables, conn, None)
        with self.lock:
            idle = self.free.setdefault(key, [])
            slot = idle.pop() if idle else None
        if slot is None:
            try:
                slot = self._new_slot(key, tables)
            except self.engine.driver.Error as e:
                raise StatementError(E_SYNTAX, f"[{self.engine.name}] the harness could not load the fixture: {e}")
        return Session(self, key, tables, slot[1], slot)

    def _new_slot(self, key: str, tables: list[dict]):
        with self.lock:
            schema = f"tvk_{self.run_id}_{len(self.schemas)}"
            self.schemas.append(schema)
        setup = self.engine.connect()
        cur = setup.cursor()
        cur.execute(f"CREATE SCHEMA {schema}" if isinstance(self.engine, PostgresEngine)
                    else f"CREATE DATABASE {schema}")
        setup.commit()
        cur.close()
        setup.close()
        conn = self.engine.connect(schema)
        self._load(conn, tables)
        conn.commit()
        self._reset_counters(conn, tables)
        return (schema, conn)

    def _reset_counters(self, conn, tables: list[dict]) -> None:
        """Autonumbers continue after the largest key, as after the fixture
        was loaded (a rolled-back insert still used a number)."""
        cur = conn.cursor()
        for t in tables:
            for c in t["columns"]:
                if not (c.get("autoinc") and c.get("pk")):
                    continue
                q, n = self.engine.ident(t, t["name"]), self.engine.ident(t, c["name"])
                if isinstance(self.engine, PostgresEngine):
                    # The table's name is read as SQL reads it, the column's as it is.
                    column = c["name"] if n.startswith('"') else c["name"].lower()
                    cur.execute(self.engine.bind(f"SELECT setval(pg_get_serial_sequence({PARAM}, {PARAM}), "
                                                 f"COALESCE((SELECT MAX({n}) FROM {q}), 0) + 1, false)"),
                                (q, column))
                else:
                    cur.execute(f"ALTER TABLE {q} AUTO_INCREMENT = 1")
        conn.commit()
        cur.close()

    def release(self, session: Session) -> None:
        if session.slot is None:
            session.conn.close()
            return
        try:
            session.conn.rollback()
            if session.inserted:
                self._reset_counters(session.conn, session.tables)
        except Exception:
            try:
                session.conn.close()
            except Exception:
                pass
            return
        with self.lock:
            self.free.setdefault(session.key, []).append(session.slot)

    def close(self) -> None:
        with self.lock:
            slots = [s for idle in self.free.values() for s in idle]
            self.free.clear()
            for t in self.templates.values():
                t.close()
            self.templates.clear()
        for _, conn in slots:
            try:
                conn.close()
            except Exception:
                pass
        if self.admin is not None:
            cur = self.admin.cursor()
            for schema in self.schemas:
                try:
                    cur.execute(f"DROP SCHEMA {schema} CASCADE" if isinstance(self.engine, PostgresEngine)
                                else f"DROP DATABASE {schema}")
                    self.admin.commit()
                except Exception:
                    self.admin.rollback()
            cur.close()
            self.admin.close()
            self.admin = None
