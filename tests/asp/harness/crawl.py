"""Links and forms of a page's output, as a browser would follow them.

A page links to itself with query strings (sorting, paging, editing) and
posts its forms back (data actions); following them from a page's first
output exercises every path of the page that a user can reach.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from html.parser import HTMLParser
from urllib.parse import parse_qsl, urlsplit


@dataclass
class Form:
    action: str
    method: str
    fields: list[tuple[str, str]] = field(default_factory=list)   # what the form posts
    buttons: list[tuple[str, str]] = field(default_factory=list)  # submit buttons: name, value

    def submit(self, button: tuple[str, str] | None = None, **changes) -> list[tuple[str, str]]:
        """The posted values with one button pressed; `changes` replace fields."""
        posted = [(k, changes.pop(k)) if k in changes else (k, v) for k, v in self.fields]
        posted += list(changes.items())
        if button is not None:
            posted.append(button)
        return posted


@dataclass
class Link:
    target: str                     # page name, "" for the page itself
    query: list[tuple[str, str]]


class _Parser(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links: list[Link] = []
        self.forms: list[Form] = []
        self._form: Form | None = None
        self._select: tuple[str, list, list] | None = None   # name, options, selected
        self._option: str | None = None

    def handle_starttag(self, tag, attrs):
        a = {k.lower(): (v if v is not None else "") for k, v in attrs}
        if tag == "a" and "href" in a:
            parts = urlsplit(a["href"])
            if not parts.scheme and not parts.netloc:
                self.links.append(Link(parts.path, parse_qsl(parts.query, keep_blank_values=True)))
        elif tag == "form":
            self._form = Form(a.get("action", ""), a.get("method", "get").upper())
            self.forms.append(self._form)
        elif tag == "input" and self._form is not None:
            kind = a.get("type", "text").lower()
            name = a.get("name")
            if not name or "disabled" in a:
                return
            value = a.get("value", "")
            if kind == "submit":
                self._form.buttons.append((name, value))
            elif kind in ("checkbox", "radio"):
                if "checked" in a:
                    self._form.fields.append((name, value or "on"))
            else:
                self._form.fields.append((name, value))
        elif tag == "select" and self._form is not None:
            self._select = (a.get("name", ""), [], [])
        elif tag == "option" and self._select is not None:
            self._option = a.get("value", "")
            self._select[1].append(self._option)
            if "selected" in a:
                self._select[2].append(self._option)

    def handle_endtag(self, tag):
        if tag == "form":
            self._form = None
        if tag == "select" and self._select is not None and self._form is not None:
            name, options, selected = self._select
            if name and options:
                self._form.fields.append((name, selected[0] if selected else options[0]))
            self._select = None


def parse(html: str) -> tuple[list[Link], list[Form]]:
    p = _Parser()
    p.feed(html)
    p.close()
    return p.links, p.forms
