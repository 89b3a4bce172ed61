"""VBScript source handling for the page compiler.

A small tokenizer, and the rewrites that let standard VBScript run on Wine's
engine with the harness's mock objects:

* ``obj.Open a, b`` (and Execute, Find, AddNew, Update, GetRows, End) becomes
  ``TVKM_Open obj, Array(a, b)``: the engine gives script classes no optional
  arguments, so the mocks take their arguments as one array.
* ``Mid(s, 2)`` becomes ``TVKF_Mid(Array(s, 2))``, the harness's replacement
  for the built-in, which the engine gets wrong for Null.

Nothing else is touched: a rewritten line means what the original means.
"""

from __future__ import annotations

import re
from dataclasses import dataclass

MEMBER_CALLS = {"open", "execute", "find", "addnew", "update", "end", "getrows"}
FUNCTION_CALLS = {"mid"}

KEYWORDS = {
    "and", "byref", "byval", "call", "case", "class", "const", "dim", "do", "each",
    "else", "elseif", "empty", "end", "eqv", "erase", "error", "exit", "explicit",
    "false", "for", "function", "get", "goto", "if", "imp", "in", "is", "let", "loop",
    "mod", "new", "next", "not", "nothing", "null", "on", "option", "or", "private",
    "property", "public", "randomize", "redim", "rem", "resume", "select", "set",
    "step", "sub", "then", "to", "true", "until", "wend", "while", "with", "xor",
    "default", "preserve",
}

_TOKEN = re.compile(
    r"""
    (?P<ws>[ \t]+)
  | (?P<str>"(?:[^"]|"")*")
  | (?P<comment>'.*)
  | (?P<date>\#[^#]*\#)
  | (?P<num>&[Hh][0-9A-Fa-f]+&?|&[Oo]?[0-7]+&?|(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)
  | (?P<id>[A-Za-z][A-Za-z0-9_]*|\[[^\]]*\])
  | (?P<op><>|<=|>=|[-+*/\\^&=<>(),.:])
  | (?P<other>.)
    """,
    re.X,
)


@dataclass
class Token:
    kind: str
    text: str

    @property
    def low(self) -> str:
        return self.text.lower()

    def is_op(self, op: str) -> bool:
        return self.kind == "op" and self.text == op

    def is_word(self, *words: str) -> bool:
        return self.kind == "id" and self.low in words


def tokenize(line: str) -> list[Token]:
    tokens = []
    for m in _TOKEN.finditer(line):
        kind = m.lastgroup
        tokens.append(Token(kind, m.group()))
    # "Rem" starts a comment when it begins a statement.
    for i, t in enumerate(tokens):
        if t.is_word("rem") and _at_statement_start(tokens, i):
            rest = "".join(x.text for x in tokens[i:])
            return tokens[:i] + [Token("comment", rest)]
    return tokens


def _prev_significant(tokens: list[Token], i: int) -> int:
    i -= 1
    while i >= 0 and tokens[i].kind == "ws":
        i -= 1
    return i


def _next_significant(tokens: list[Token], i: int) -> int:
    i += 1
    while i < len(tokens) and tokens[i].kind == "ws":
        i += 1
    return i


def _at_statement_start(tokens: list[Token], i: int) -> bool:
    p = _prev_significant(tokens, i)
    return p < 0 or tokens[p].is_op(":") or tokens[p].is_word("then", "else")


def statement_starts(tokens: list[Token]) -> set[int]:
    """Indexes of the first token of each statement of a logical line."""
    starts = set()
    expect = True
    for i, t in enumerate(tokens):
        if t.kind == "ws":
            continue
        if t.kind == "comment":
            break
        if expect:
            starts.add(i)
            expect = False
        if t.is_op(":") or t.is_word("then", "else"):
            expect = True
    return starts


def _matching_close(tokens: list[Token], i: int) -> int | None:
    depth = 0
    for k in range(i, len(tokens)):
        if tokens[k].is_op("("):
            depth += 1
        elif tokens[k].is_op(")"):
            depth -= 1
            if depth == 0:
                return k
    return None


def _matching_open(tokens: list[Token], i: int) -> int | None:
    depth = 0
    for k in range(i, -1, -1):
        if tokens[k].is_op(")"):
            depth += 1
        elif tokens[k].is_op("("):
            depth -= 1
            if depth == 0:
                return k
    return None


def _chain_start(tokens: list[Token], j: int) -> int | None:
    """Start of the object expression that ends at token j (before a dot)."""
    k = j
    while True:
        if k < 0:
            return None
        t = tokens[k]
        if t.kind == "id" and t.low not in KEYWORDS - {"me"}:
            start = k
        elif t.is_op(")"):
            m = _matching_open(tokens, k)
            if m is None:
                return None
            if m - 1 >= 0 and (tokens[m - 1].kind == "id" or tokens[m - 1].is_op(")")):
                k = m - 1
                continue
            start = m
        else:
            return None
        if start - 1 >= 0 and tokens[start - 1].is_op("."):
            if start - 2 >= 0 and (tokens[start - 2].kind == "id" or tokens[start - 2].is_op(")")):
                k = start - 2
                continue
            return None  # a member of a With block: left as written
        return start


def _statement_end(tokens: list[Token], i: int) -> int:
    depth = 0
    k = i
    while k < len(tokens):
        t = tokens[k]
        if t.is_op("("):
            depth += 1
        elif t.is_op(")"):
            depth -= 1
        elif depth <= 0 and (t.is_op(":") or t.kind == "comment" or t.is_word("else")):
            break
        k += 1
    while k > i and tokens[k - 1].kind == "ws":
        k -= 1
    return k


@dataclass
class _Span:
    start: int
    end: int
    kind: str          # "stmt", "expr" or "func"
    name: str
    chain: tuple[int, int] | None
    args: tuple[int, int]


class Rewriter:
    """Rewrites one logical line."""

    def __init__(self, own_procedures: set[str] | None = None,
                 own_variables: set[str] | None = None):
        own = {n.lower() for n in (own_procedures or set()) | (own_variables or set())}
        self.functions = FUNCTION_CALLS - own

    def line(self, text: str) -> str:
        tokens = tokenize(text)
        starts = statement_starts(tokens)
        spans = self._spans(tokens, starts)
        if not spans:
            return "".join(t.text for t in tokens)
        return self._emit(tokens, 0, len(tokens), spans)

    def expression(self, text: str) -> str:
        tokens = tokenize(text)
        spans = self._spans(tokens, set())
        return self._emit(tokens, 0, len(tokens), spans)

    # --- calls

    def _spans(self, tokens: list[Token], starts: set[int]) -> list[_Span]:
        spans = []
        for i, t in enumerate(tokens):
            if (t.is_op(".") and i + 1 < len(tokens) and tokens[i + 1].kind == "id"
                    and tokens[i + 1].low in MEMBER_CALLS):
                nxt = i + 2
                if nxt < len(tokens) and (tokens[nxt].is_op(".") or tokens[nxt].is_op("=")):
                    continue
                span = self._member_span(tokens, starts, i)
                if span:
                    spans.append(span)
            elif t.kind == "id" and t.low in self.functions and i not in starts:
                p = _prev_significant(tokens, i)
                if p >= 0 and tokens[p].is_op("."):
                    continue
                n = _next_significant(tokens, i)
                if n < len(tokens) and tokens[n].is_op("("):
                    close = _matching_close(tokens, n)
                    if close is not None:
                        spans.append(_Span(i, close + 1, "func", t.text, None, (n + 1, close)))
        return spans

    def _member_span(self, tokens: list[Token], starts: set[int], dot: int) -> _Span | None:
        name = tokens[dot + 1].text
        start = _chain_start(tokens, dot - 1)
        if start is None:
            return None
        chain = (start, dot)
        p = _prev_significant(tokens, start)
        after = dot + 2
        if start in starts:
            end = _statement_end(tokens, after)
            return _Span(start, end, "stmt", name, chain, (after, end))
        if p >= 0 and tokens[p].is_word("call") and p in starts:
            n = _next_significant(tokens, after - 1)
            if n < len(tokens) and tokens[n].is_op("("):
                close = _matching_close(tokens, n)
                if close is None:
                    return None
                return _Span(p, close + 1, "stmt", name, chain, (n + 1, close))
            return _Span(p, after, "stmt", name, chain, (after, after))
        n = _next_significant(tokens, after - 1)
        if n < len(tokens) and tokens[n].is_op("("):
            close = _matching_close(tokens, n)
            if close is None:
                return None
            return _Span(start, close + 1, "expr", name, chain, (n + 1, close))
        return _Span(start, after, "expr", name, chain, (after, after))

    def _emit(self, tokens: list[Token], lo: int, hi: int, spans: list[_Span]) -> str:
        out = []
        k = lo
        while k < hi:
            best = None
            for s in spans:
                if s.start == k and s.end <= hi and (best is None or s.end > best.end):
                    best = s
            if best is None:
                out.append(tokens[k].text)
                k += 1
                continue
            args = self._args(tokens, best.args, spans)
            if best.kind == "func":
                out.append(f"TVKF_{best.name}(Array({args}))")
            else:
                chain = self._emit(tokens, best.chain[0], best.chain[1], spans)
                if best.kind == "stmt":
                    out.append(f"TVKM_{best.name} {chain}, Array({args})")
                else:
                    out.append(f"TVKM_{best.name}({chain}, Array({args}))")
            k = best.end
        return "".join(out)

    def _args(self, tokens: list[Token], rng: tuple[int, int], spans: list[_Span]) -> str:
        lo, hi = rng
        if all(t.kind == "ws" for t in tokens[lo:hi]):
            return ""
        parts = []
        depth = 0
        begin = lo
        for k in range(lo, hi):
            if tokens[k].is_op("("):
                depth += 1
            elif tokens[k].is_op(")"):
                depth -= 1
            elif tokens[k].is_op(",") and depth == 0:
                parts.append((begin, k))
                begin = k + 1
        parts.append((begin, hi))
        texts = []
        for a, b in parts:
            text = self._emit(tokens, a, b, spans).strip()
            texts.append(text if text else "Empty")
        return ", ".join(texts)


# The engine's built-in functions and objects (for telling an unknown
# procedure in an error message).
BUILTINS = {
    "abs", "array", "asc", "ascb", "ascw", "atn", "cbool", "cbyte", "ccur", "cdate", "cdbl", "chr",
    "chrb", "chrw", "cint", "clng", "cos", "createobject", "csng", "cstr", "date", "dateadd",
    "datediff", "datepart", "dateserial", "datevalue", "day", "escape", "eval", "exp", "filter",
    "fix", "formatcurrency", "formatdatetime", "formatnumber", "formatpercent", "getobject",
    "getref", "hex", "hour", "inputbox", "instr", "instrb", "instrrev", "int", "isarray", "isdate",
    "isempty", "isnull", "isnumeric", "isobject", "join", "lbound", "lcase", "left", "leftb", "len",
    "lenb", "loadpicture", "log", "ltrim", "mid", "midb", "minute", "month", "monthname", "msgbox",
    "now", "oct", "replace", "rgb", "right", "rightb", "rnd", "round", "rtrim", "scriptengine",
    "second", "sgn", "sin", "space", "split", "sqr", "strcomp", "string", "strreverse", "tan",
    "time", "timer", "timeserial", "timevalue", "trim", "typename", "ubound", "ucase", "unescape",
    "vartype", "weekday", "weekdayname", "year", "err", "request", "response", "server", "session",
    "application", "regexp",
}


def unknown_calls(line: str, known: set[str]) -> list[str]:
    """Names called on a line (name followed by "(") that are neither
    declared by the script nor built in."""
    tokens = tokenize(line)
    names = []
    for i, t in enumerate(tokens):
        if t.kind != "id" or t.low in KEYWORDS or t.low in BUILTINS or t.low in known:
            continue
        p = _prev_significant(tokens, i)
        if p >= 0 and tokens[p].is_op("."):
            continue
        n = _next_significant(tokens, i)
        if n < len(tokens) and tokens[n].is_op("(") and t.text not in names:
            names.append(t.text)
    return names


_DECLARED_PROC = re.compile(r"^\s*(?:(?:public|private)\s+(?:default\s+)?)?(?:function|sub)\s+([A-Za-z]\w*)",
                            re.I | re.M)
_DECLARED_VAR = re.compile(r"^\s*(?:dim|public|private|redim(?:\s+preserve)?|const)\s+([^'\r\n]*)",
                           re.I | re.M)


def declared_names(code: str) -> tuple[set[str], set[str]]:
    """Procedure and variable names that a script declares itself."""
    procs = {m.group(1).lower() for m in _DECLARED_PROC.finditer(code)}
    variables = set()
    for m in _DECLARED_VAR.finditer(code):
        for part in m.group(1).split(","):
            name = re.match(r"\s*([A-Za-z]\w*)", part)
            if name and name.group(1).lower() not in KEYWORDS:
                variables.add(name.group(1).lower())
    return procs, variables


# --------------------------------------------------------------- diagnosis

_BLOCKS = {
    "if": "End If", "sub": "End Sub", "function": "End Function", "property": "End Property",
    "for": "Next", "do": "Loop", "while": "Wend", "select": "End Select", "with": "End With",
    "class": "End Class",
}


def check_blocks(lines: list[tuple[str, object]]) -> str | None:
    """Finds the first unbalanced block in logical lines of code.

    The engine reports a missing "End If" without a description, at the line
    where the parser gave up; this names the block and where it was opened.
    Each item of ``lines`` is (code, origin); returns a message or None.
    """
    stack: list[tuple[str, object]] = []

    def closes(kind: str, origin: object, what: str) -> str | None:
        if not stack:
            return f"{origin}: '{what}' without an open block"
        top, opened = stack[-1]
        if top != kind:
            return (f"{origin}: '{what}' closes the '{top.title()}' block opened at {opened}"
                    f" (missing '{_BLOCKS[top]}'?)")
        stack.pop()
        return None

    for text, origin in lines:
        tokens = tokenize(text)
        starts = sorted(statement_starts(tokens))
        for s in starts:
            words = [t for t in tokens[s:] if t.kind not in ("ws",)]
            if not words or words[0].kind == "comment":
                continue
            low = [t.low if t.kind == "id" else "" for t in words[:4]]
            if low[0] in ("public", "private"):
                low = low[1:]
                if low and low[0] == "default":
                    low = low[1:]
            low += ["", ""]
            w0, w1 = low[0], low[1]
            problem = None
            if w0 == "if":
                sig = [t for t in tokens[s:] if t.kind not in ("ws",)]
                then = next((k for k, t in enumerate(sig) if t.is_word("then")), None)
                if then is not None and (then + 1 == len(sig) or sig[then + 1].kind == "comment"):
                    stack.append(("if", origin))
            elif w0 in ("elseif", "else"):
                if not stack or stack[-1][0] != "if":
                    if w0 == "elseif" or s == starts[0]:
                        problem = f"{origin}: '{words[0].text}' outside an If block"
            elif w0 == "end" and w1 in ("if", "sub", "function", "property", "select", "with", "class"):
                problem = closes(w1, origin, f"End {w1.title()}")
            elif w0 in ("sub", "function", "class", "with"):
                stack.append((w0, origin))
            elif w0 == "property" and w1 in ("get", "let", "set"):
                stack.append(("property", origin))
            elif w0 == "select":
                stack.append(("select", origin))
            elif w0 == "for":
                stack.append(("for", origin))
            elif w0 == "next":
                problem = closes("for", origin, "Next")
            elif w0 == "do":
                stack.append(("do", origin))
            elif w0 == "loop":
                problem = closes("do", origin, "Loop")
            elif w0 == "while":
                stack.append(("while", origin))
            elif w0 == "wend":
                problem = closes("while", origin, "Wend")
            if problem:
                return problem
    if stack:
        kind, opened = stack[-1]
        return f"the '{kind.title()}' block opened at {opened} is never closed (missing '{_BLOCKS[kind]}')"
    return None
