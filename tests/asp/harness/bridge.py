"""The loopback HTTP server that carries the pages' statements to the database.

The script engine under Wine posts one JSON request a call
(WinHttp.WinHttpRequest): {token, session, op, ...}. Only requests with the
run's random token are served, on 127.0.0.1 only. A session is one page run;
the runner opens it (naming the fixture) before the batch starts and closes
whatever is left of it afterwards.

    op "query"    {sql, table}       rows and columns of a SELECT (or a whole table)
    op "execute"  {sql}              rows, or the number of rows changed
    op "insert"   {table, values}    a recordset's new row; answers the row as stored
    op "update"   {table, key, values}
    op "finish"                      the tables as they are now; ends the session
"""

from __future__ import annotations

import hmac
import json
import os
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from .database import Databases, StatementError, E_SYNTAX


class Bridge:
    def __init__(self, databases: Databases | None = None):
        self.databases = databases or Databases()
        self.token = os.urandom(16).hex()
        self.lock = threading.Lock()
        self.sessions: dict[str, object] = {}
        self.pending: dict[str, str] = {}     # session -> fixture key, opened on first use
        self.next_id = 0
        bridge = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_POST(self):
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length)
                status, answer = bridge.handle(body)
                data = json.dumps(answer, ensure_ascii=True).encode("ascii")
                self.send_response(status)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *args):
                pass

        self.server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    @property
    def url(self) -> str:
        return f"http://127.0.0.1:{self.server.server_address[1]}/tvk"

    # ------------------------------------------------------------ sessions

    def new_session(self, tables: list[dict]) -> str:
        key = self.databases.register(tables)
        with self.lock:
            self.next_id += 1
            sid = f"s{self.next_id}"
            self.pending[sid] = key
        return sid

    def _session(self, sid: str):
        with self.lock:
            s = self.sessions.get(sid)
            key = self.pending.pop(sid, None) if s is None else None
        if s is None:
            if key is None:
                raise StatementError(E_SYNTAX, f"the harness has no database session '{sid}'")
            s = self.databases.open(key)
            with self.lock:
                self.sessions[sid] = s
        return s

    def end_sessions(self, sids: list[str]) -> None:
        """Closes the sessions a batch left open (a page that crashed)."""
        for sid in sids:
            with self.lock:
                s = self.sessions.pop(sid, None)
                self.pending.pop(sid, None)
            if s is not None:
                s.close()

    # ------------------------------------------------------------ requests

    def handle(self, body: bytes) -> tuple[int, dict]:
        try:
            req = json.loads(body.decode("utf-8"))
        except ValueError:
            return 400, {"error": {"number": E_SYNTAX, "description": "bad request"}}
        if not hmac.compare_digest(str(req.get("token", "")), self.token):
            return 403, {"error": {"number": E_SYNTAX, "description": "forbidden"}}
        sid = str(req.get("session", ""))
        op = req.get("op")
        try:
            s = self._session(sid)
            if op == "query":
                return 200, s.query(str(req["sql"]), bool(req.get("table")))
            if op == "execute":
                return 200, s.execute(str(req["sql"]))
            if op == "insert":
                return 200, s.insert(req["table"], req.get("values") or {})
            if op == "update":
                return 200, s.update(req["table"], req.get("key") or {}, req.get("values") or {})
            if op == "finish":
                tables = s.dump()
                self.end_sessions([sid])
                return 200, {"tables": tables}
            return 400, {"error": {"number": E_SYNTAX, "description": f"unknown operation {op}"}}
        except StatementError as e:
            return 200, {"error": {"number": e.number, "description": e.description}}
        except Exception as e:  # a fault of the harness: reported, never hidden
            return 200, {"error": {"number": E_SYNTAX,
                                   "description": f"harness database error: {type(e).__name__}: {e}"}}

    def close(self) -> None:
        self.server.shutdown()
        self.server.server_close()
        with self.lock:
            sids = list(self.sessions)
        self.end_sessions(sids)
        self.databases.close()
