"""Turns an Active Server Page and its include files into one VBScript.

The web server does the same before it runs a page: it inserts every
``<!-- #INCLUDE FILE="..." -->`` file, turns the literal HTML into writes to
the response and ``<%= expr %>`` into ``Response.Write``, and runs the code
blocks as one script. Every line of the result remembers the file and line it
came from, so that an error of the engine is reported against the page.

The result is the harness prelude (mock_asp.vbs) followed by the page; a page
that starts with ``Option Explicit`` has it moved in front of the prelude,
where the engine wants it.
"""

from __future__ import annotations

import bisect
import re
from dataclasses import dataclass
from pathlib import Path

from . import vbs

ENGINE_DIR = Path(__file__).resolve().parent.parent / "engine"
PRELUDE = ENGINE_DIR / "mock_asp.vbs"

_INCLUDE = re.compile(r"<!--\s*#\s*include\s+file\s*=\s*\"([^\"]+)\"\s*-->", re.I)


class CompileError(Exception):
    """The page cannot be turned into a script (a missing include file)."""


@dataclass(frozen=True)
class Origin:
    file: str          # as shown in messages
    line: int
    path: str = ""     # the file itself

    def __str__(self) -> str:
        return f"{self.file}:{self.line}"


@dataclass
class CompiledPage:
    path: Path
    code: str
    origins: list[Origin]          # origin of each line of code (index = line - 1)
    code_lines: list[tuple[str, Origin]]   # the page's own logical code lines
    page_offset: int = 0           # lines of code in front of the page's first line

    def origin(self, line: int) -> Origin | None:
        if 1 <= line <= len(self.origins):
            return self.origins[line - 1]
        return None

    def source_line(self, origin: Origin) -> str:
        try:
            text = Path(origin.path or origin.file).read_text(encoding="cp1252", errors="replace")
        except OSError:
            return ""
        lines = text.splitlines()
        return lines[origin.line - 1] if 1 <= origin.line <= len(lines) else ""


def _display_name(path: Path, root: Path) -> str:
    try:
        return str(path.resolve().relative_to(root.resolve()))
    except ValueError:
        return str(path)


def _expand(path: Path, root: Path, seen: tuple[Path, ...]) -> list[tuple[str, str, int]]:
    """The page text as segments (text, file, first line), includes inserted."""
    if path.resolve() in seen:
        raise CompileError(f"{path}: includes itself")
    try:
        text = path.read_text(encoding="cp1252")
    except OSError as e:
        raise CompileError(f"cannot read {path}: {e.strerror}") from None
    name = str(path)
    segments = []
    pos = 0
    for m in _INCLUDE.finditer(text):
        line = text.count("\n", 0, pos) + 1
        segments.append((text[pos:m.start()], name, line))
        target = path.parent / m.group(1).replace("\\", "/")
        if not target.is_file():
            at = text.count("\n", 0, m.start()) + 1
            raise CompileError(f"{name}:{at}: include file not found: {m.group(1)} ({target})")
        segments.extend(_expand(target, root, seen + (path.resolve(),)))
        pos = m.end()
    segments.append((text[pos:], name, text.count("\n", 0, pos) + 1))
    return segments


def _vbs_string(text: str) -> str:
    """A VBScript expression for a literal text (line breaks as constants)."""
    parts = []
    for piece in re.split(r"(\r\n|\n|\r)", text):
        if piece == "\r\n":
            parts.append("vbCrLf")
        elif piece == "\n":
            parts.append("vbLf")
        elif piece == "\r":
            parts.append("vbCr")
        elif piece:
            parts.append('"' + piece.replace('"', '""') + '"')
    return " & ".join(parts) if parts else '""'


_NOT_TRACED = {"case", "else", "elseif", "end", "loop", "next", "wend", "sub", "function",
               "property", "class", "public", "private", "dim", "const", "option", "rem"}


class _Emitter:
    def __init__(self, rewriter: vbs.Rewriter, trace: bool = False):
        self.trace = trace
        self.lines: list[str] = []
        self.origins: list[Origin] = []
        self.pending: list[str] = []
        self.pending_origin: Origin | None = None
        self.rewriter = rewriter
        self.code_lines: list[tuple[str, Origin]] = []
        self.wrote = False

    def write(self, statement: str, origin: Origin) -> None:
        self.wrote = True
        if not self.pending:
            self.pending_origin = origin
        self.pending.append(statement)

    def flush(self) -> None:
        if self.pending:
            self.lines.append(" : ".join(self.pending))
            self.origins.append(self.pending_origin)
            self.pending = []

    def code(self, text: str, origin: Origin) -> None:
        self.flush()
        line = self.rewriter.line(text)
        if self.trace:
            line = self._traced(line)
        self.lines.append(line)
        self.origins.append(origin)
        self.code_lines.append((text, origin))

    def _traced(self, line: str) -> str:
        """Prefixes a statement that tells the host which line runs, where a
        statement may stand (not before Case, Else, End and the like)."""
        words = re.findall(r"[A-Za-z]\w*", line.split("'", 1)[0])
        first = words[0].lower() if words else ""
        if first in ("public", "private"):
            first = words[1].lower() if len(words) > 1 else ""
        if not first or first in _NOT_TRACED:
            return line
        return f"TVKHost.Line {len(self.lines) + 1} : {line}"


def compile_page(path: Path | str, root: Path | str | None = None, trace: bool = False) -> CompiledPage:
    """Compiles a page. ``root`` shortens file names in messages. With
    ``trace`` the page reports each line it runs (to find which line of the
    page called into a mock object that failed)."""
    path = Path(path)
    root = Path(root) if root else path.parent
    segments = _expand(path, root, ())

    # One text; each character's origin is found from its segment.
    offsets = []
    text_parts = []
    total = 0
    for seg_text, name, first in segments:
        offsets.append((total, seg_text, _display_name(Path(name), root), first, name))
        text_parts.append(seg_text)
        total += len(seg_text)
    text = "".join(text_parts)
    starts = [o[0] for o in offsets]

    def origin_at(pos: int) -> Origin:
        k = max(bisect.bisect_right(starts, pos) - 1, 0)
        seg_start, seg_text, display, first, name = offsets[k]
        return Origin(display, first + seg_text.count("\n", 0, pos - seg_start), name)

    own_procs, own_vars = vbs.declared_names(text)
    em = _Emitter(vbs.Rewriter(own_procs, own_vars), trace)
    option_explicit = False
    seen_code = False
    swallow_newline = False
    pos = 0
    while pos < len(text):
        start = text.find("<%", pos)
        literal = text[pos:] if start < 0 else text[pos:start]
        if swallow_newline:
            m = re.match(r"[ \t]*\r?\n", literal)
            if m:
                pos += m.end()
                literal = literal[m.end():]
            swallow_newline = False
        if literal:
            lit_pos = pos
            for piece in re.split(r"(?<=\n)", literal):
                if piece:
                    em.write("Response.Write " + _vbs_string(piece), origin_at(lit_pos))
                    if piece.endswith("\n"):
                        em.flush()
                lit_pos += len(piece)
        if start < 0:
            break
        end = text.find("%>", start + 2)
        if end < 0:
            raise CompileError(f"{origin_at(start)}: '<%' without a closing '%>'")
        body = text[start + 2:end]
        pos = end + 2
        if body.startswith("@"):
            swallow_newline = True
            continue
        m = re.match(r"[ \t]*=", body)
        if m:   # <%= expr %>, also written <% = expr %>
            expr = " ".join(body[m.end():].split("\n")).replace("\r", " ").strip()
            em.write("Response.Write (" + em.rewriter.expression(expr) + ")", origin_at(start))
            continue
        # A code block: one output line per logical line (continuations joined).
        body_pos = start + 2
        logical = ""
        logical_origin = None
        for raw in re.split(r"(?<=\n)", body):
            line_text = raw.rstrip("\r\n")
            if logical_origin is None:
                logical_origin = origin_at(body_pos)
            body_pos += len(raw)
            if re.search(r"(^|[ \t])_[ \t]*$", line_text):
                logical += re.sub(r"_[ \t]*$", " ", line_text)
                continue
            logical += line_text
            if not seen_code and logical.strip() and not logical.strip().startswith("'"):
                seen_code = True
                if re.fullmatch(r"\s*option\s+explicit\s*(?:'.*)?", logical, re.I) and not em.wrote:
                    option_explicit = True
                    logical = "' Option Explicit: moved in front of the harness prelude"
            em.code(logical, logical_origin)
            logical = ""
            logical_origin = None
        if logical:
            em.code(logical, logical_origin)
    em.flush()

    prelude_lines = PRELUDE.read_text(encoding="utf-8").splitlines()
    lines = []
    origins = []
    if option_explicit:
        lines.append("Option Explicit")
        origins.append(em.origins[0] if em.origins else Origin(str(path), 1))
    for k, line in enumerate(prelude_lines):
        lines.append(line)
        origins.append(Origin("mock_asp.vbs", k + 1, str(PRELUDE)))
    offset = len(lines)
    lines.extend(em.lines)
    origins.extend(em.origins)
    return CompiledPage(path=path, code="\r\n".join(lines) + "\r\n", origins=origins,
                        code_lines=em.code_lines, page_offset=offset)
