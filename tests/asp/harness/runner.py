"""Runs compiled pages in Wine's VBScript engine.

Jobs go to the JScript driver (engine/driver.js) in batches: one Wine process
runs many pages, each in a fresh script engine, which costs a few
milliseconds a page where a Wine process costs a quarter of a second. Two
batches run side by side. A batch whose engine crashes or hangs is restarted
after the job that failed; that job is reported as a crash or a timeout.

The Wine prefix lives in $TVK_WINEPREFIX, or ~/.cache/tvkwizard/wineprefix;
it is created on first use. `wineserver -p` keeps Wine resident between runs.
"""

from __future__ import annotations

import json
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

from .bridge import Bridge
from .database import Databases, DatabaseUnavailable

ENGINE_DIR = Path(__file__).resolve().parent.parent / "engine"


class WineUnavailable(Exception):
    """Wine, or its script engine, is not installed on this machine."""


def default_prefix() -> Path:
    env = os.environ.get("TVK_WINEPREFIX")
    if env:
        return Path(env)
    cache = os.environ.get("XDG_CACHE_HOME") or str(Path.home() / ".cache")
    return Path(cache) / "tvkwizard" / "wineprefix"


def windows_path(path: Path | str) -> str:
    """The path as Wine's programs see it (drive Z: is the root)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class WineRunner:
    def __init__(self, prefix: Path | None = None, workers: int = 2,
                 job_timeout: float = 20.0):
        self.prefix = Path(prefix) if prefix else default_prefix()
        self.workers = max(1, workers)
        self.job_timeout = job_timeout
        self.start_timeout = 120.0
        self.wine = shutil.which("wine")
        self.wineserver = shutil.which("wineserver")
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(self.prefix),
            "WINEDEBUG": "-all",
            # No Mono or Gecko installers when the prefix is created.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LC_ALL": "C.UTF-8",
        })
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self._workdir: Path | None = None
        self._driver: Path | None = None
        self._ready = False
        self.bridge: Bridge | None = None

    # ---------------------------------------------------------------- setup

    def check(self) -> None:
        """Raises WineUnavailable when Wine cannot run the pages here."""
        if not self.wine or not self.wineserver:
            raise WineUnavailable("Wine is not installed (scripts/install-wine installs it)")
        if self.bridge is None:
            try:
                databases = Databases()
                databases.check()
            except DatabaseUnavailable as e:
                raise WineUnavailable(str(e))
            self.bridge = Bridge(databases)
        self._prepare()

    def _prepare(self) -> None:
        if self._ready:
            return
        if not (self.prefix / "system.reg").is_file():
            self.prefix.parent.mkdir(parents=True, exist_ok=True)
            proc = subprocess.run([self.wine, "wineboot", "--init"], env=self.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300)
            if not (self.prefix / "system.reg").is_file():
                raise WineUnavailable("creating the Wine prefix failed: " +
                                      proc.stderr.decode(errors="replace")[-500:])
        if not (self.prefix / "drive_c/windows/system32/msscript.ocx").is_file():
            raise WineUnavailable("Wine's script control (msscript.ocx) is missing in " + str(self.prefix))
        # Keep the server resident for a minute after the last page.
        subprocess.run([self.wineserver, "-p60"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._workdir = Path(tempfile.mkdtemp(prefix="tvk-asp-"))
        self._driver = self._workdir / "driver.js"
        self._driver.write_text((ENGINE_DIR / "mockdb.js").read_text(encoding="utf-8") + "\n" +
                                (ENGINE_DIR / "driver.js").read_text(encoding="utf-8"),
                                encoding="utf-8")
        # The first Wine program of a session starts Wine's own services; they
        # would keep the batches' output pipes open, so start them here.
        warmup = self._workdir / "warmup.js"
        warmup.write_text('WScript.Echo("ready");\n', encoding="utf-8")
        out = self._run_quiet([self.wine, "cscript", "//nologo", windows_path(warmup)])
        if "ready" not in out:
            raise WineUnavailable("Wine's cscript does not run here: " + out[-300:])
        self._ready = True

    def _run_quiet(self, cmd: list[str]) -> str:
        """Runs a Wine program; its output goes through a file, never a pipe."""
        assert self._workdir is not None
        log = self._workdir / "warmup.out"
        with open(log, "wb") as f:
            subprocess.run(cmd, env=self.env, stdin=subprocess.DEVNULL, stdout=f, stderr=subprocess.STDOUT,
                           timeout=300)
        return log.read_text(errors="replace")

    def close(self) -> None:
        if self.bridge is not None:
            self.bridge.close()
            self.bridge = None
        if self._workdir:
            shutil.rmtree(self._workdir, ignore_errors=True)
            self._workdir = None
            self._ready = False

    # ----------------------------------------------------------------- runs

    def run(self, jobs: list[dict]) -> list[dict]:
        """Runs the jobs (each: code, request, fixture, application)
        and returns one result dictionary per job, in order. Each job gets
        its own database session over its fixture."""
        self.check()
        assert self._workdir is not None and self.bridge is not None
        batch_dir = Path(tempfile.mkdtemp(prefix="batch-", dir=self._workdir))
        sessions = []
        for job in jobs:
            job["session"] = self.bridge.new_session(job.pop("fixture")["tables"])
            sessions.append(job["session"])
        try:
            for k, job in enumerate(jobs):
                job["result"] = windows_path(batch_dir / f"result{k}.json")
            chunks = [list(range(k, len(jobs), self.workers)) for k in range(self.workers)]
            chunks = [c for c in chunks if c]
            results: list[dict | None] = [None] * len(jobs)
            threads = []
            for n, chunk in enumerate(chunks):
                t = threading.Thread(target=self._run_chunk,
                                     args=(batch_dir, n, [jobs[k] for k in chunk], chunk, results))
                t.start()
                threads.append(t)
            for t in threads:
                t.join()
            return [r if r is not None else {"status": "harness_error",
                                            "error": {"description": "no result"}} for r in results]
        finally:
            self.bridge.end_sessions(sessions)
            shutil.rmtree(batch_dir, ignore_errors=True)

    def _run_chunk(self, batch_dir: Path, n: int, jobs: list[dict], indexes: list[int],
                   results: list) -> None:
        jobs_file = batch_dir / f"jobs{n}.json"
        # Pages are shared by many jobs: each is written once.
        texts: dict[str, int] = {}
        shared = []

        def ref(value) -> int:
            key = json.dumps(value, sort_keys=True)
            if key not in texts:
                texts[key] = len(shared)
                shared.append(value)
            return texts[key]

        packed = [{**job, "code": ref(job["code"])} for job in jobs]
        bridge = {"url": self.bridge.url, "token": self.bridge.token}
        jobs_file.write_text(json.dumps({"bridge": bridge, "shared": shared, "jobs": packed}, ensure_ascii=True),
                             encoding="utf-16")
        skip = 0
        starts = 0
        while skip < len(jobs):
            failed, reason, detail = self._run_driver(jobs_file, skip, len(jobs))
            for k in range(skip, len(jobs) if failed is None else failed):
                results[indexes[k]] = self._read_result(jobs[k]["result"])
            if failed is None:
                return
            if reason == "no_start":
                # Wine can fail to start while its server shuts down: try again.
                starts += 1
                if starts < 3:
                    time.sleep(1.0)
                    continue
                for k in range(failed, len(jobs)):
                    results[indexes[k]] = {"status": "harness_error", "error": {"description": detail}}
                return
            results[indexes[failed]] = {"status": reason, "error": {"description": detail}}
            skip = failed + 1

    def _run_driver(self, jobs_file: Path, skip: int, count: int):
        """Runs the driver from job `skip`; returns (None, ...) when every job
        finished, else (index of the job that crashed or hung, status, detail)."""
        cmd = [self.wine, "cscript", "//nologo", windows_path(self._driver),
               windows_path(jobs_file), str(skip)]
        proc = subprocess.Popen(cmd, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                stdin=subprocess.DEVNULL, start_new_session=True)
        state = {"started": None, "done": skip - 1, "since": time.monotonic()}
        stderr_tail: list[bytes] = []

        def read_stdout():
            for raw in proc.stdout:
                line = raw.decode(errors="replace").strip()
                if line.startswith("START "):
                    state["started"] = int(line[6:])
                    state["since"] = time.monotonic()
                elif line.startswith("DONE "):
                    state["done"] = int(line[5:])

        def read_stderr():
            for raw in proc.stderr:
                stderr_tail.append(raw)
                del stderr_tail[:-40]

        readers = [threading.Thread(target=read_stdout), threading.Thread(target=read_stderr)]
        for r in readers:
            r.start()
        hung = False
        launched = time.monotonic()
        while proc.poll() is None:
            time.sleep(0.05)
            started = state["started"]
            if started is None and time.monotonic() - launched > self.start_timeout:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                break
            if started is not None and started > state["done"] and \
                    time.monotonic() - state["since"] > self.job_timeout:
                hung = True
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                break
        for r in readers:
            r.join()
        if state["done"] >= count - 1:
            return None, "", ""
        if state["started"] is None:
            out = b"".join(stderr_tail).decode(errors="replace").strip()
            return skip, "no_start", "the script driver failed to start: " + (out[-300:] or f"exit status {proc.returncode}")
        failed = state["started"] if state["started"] is not None and state["started"] > state["done"] \
            else state["done"] + 1
        if hung:
            return failed, "timeout", f"the page ran longer than {self.job_timeout:.0f} s (an endless loop?)"
        tail = b"".join(stderr_tail).decode(errors="replace")
        first = next((l for l in tail.splitlines() if "Unhandled" in l or "error" in l.lower()), "")
        return failed, "crash", ("Wine's script engine crashed on this page (exit status "
                                 f"{proc.returncode}). {first.strip()}")

    @staticmethod
    def _read_result(windows_result: str) -> dict:
        path = Path(windows_result[2:].replace("\\", "/"))
        try:
            return json.loads(path.read_text(encoding="utf-16"))
        except (OSError, ValueError) as e:
            return {"status": "harness_error", "error": {"description": f"unreadable result: {e}"}}
