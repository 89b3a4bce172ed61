"""Project files: generating their pages, and test tables that fit them.

`generate` copies a project file into a work directory (its page, include,
stylesheet and graphics directories moved below it), runs the wizard's
`generate` command on the copy and returns where the pages went.

`synthetic_fixture` makes tables that fit any project: the project's table
with every field of the project, and the lookup tables its fields name, with
rows whose values suit each column's type, so that every generated page can
be run without a hand-written database.
"""

from __future__ import annotations

import re
import subprocess
import xml.etree.ElementTree as ET
from dataclasses import dataclass, field
from pathlib import Path

from .fixture import Fixture

DIRECTORY_ELEMENTS = ("FileDirectory", "StylesheetDirectory", "GraphicsDirectory", "IncludeDirectory")


def _text(node: ET.Element | None, path: str) -> str:
    if node is None:
        return ""
    found = node.find(path)
    return (found.text or "").strip() if found is not None and found.text else ""


@dataclass
class Project:
    path: Path
    root: ET.Element

    @classmethod
    def load(cls, path: Path | str) -> "Project":
        return cls(Path(path), ET.parse(path).getroot())

    def get(self, path: str) -> str:
        return _text(self.root, path)

    @property
    def name(self) -> str:
        return self.get("ProjectName")

    @property
    def type(self) -> str:
        return self.get("ProjectType")

    @property
    def table(self) -> str:
        return self.get("DataSource/TableName")

    @property
    def key(self) -> str:
        return self.get("DataSource/PrimaryKey")

    def fields(self) -> list[ET.Element]:
        return self.root.findall("Fields/Field")

    def page_names(self) -> list[str]:
        pages = []
        if self.type in ("List", "ListForm"):
            pages.append(self.name + "List.asp")
        if self.type in ("Form", "ListForm"):
            pages.append(self.name + "Form.asp")
        return pages

    def application(self) -> dict:
        """The application variables a global.asa data source provides."""
        if self.get("DatabaseConnection/DataSourceType") != "GlobalASADataSource":
            return {}
        n = self.get("DatabaseConnection/GlobalASADataSourceName")
        return {f"{n}_ConnectionString": f"DSN={n}", f"{n}_ConnectionTimeout": 15,
                f"{n}_CommandTimeout": 30, f"{n}_RuntimeUserName": "", f"{n}_RuntimePassword": ""}

    # ------------------------------------------------------------ generating

    @property
    def dialect(self) -> str:
        return self.get("DatabaseConnection/SQLDialect")

    def made_for(self, dialect: str) -> "Project":
        """The project as the wizard makes it against a database of this
        dialect: a copy that stores the dialect, unless it stores one."""
        if self.dialect or not dialect:
            return self
        root = ET.fromstring(ET.tostring(self.root))
        connection = root.find("DatabaseConnection")
        if connection is None:
            connection = ET.SubElement(root, "DatabaseConnection")
        node = connection.find("SQLDialect")
        if node is None:
            node = ET.SubElement(connection, "SQLDialect")
        node.text = dialect
        return Project(self.path, root)

    def relocate(self, out: Path) -> Path:
        """Writes a copy whose directories lie below `out`; returns its path."""
        root = ET.fromstring(ET.tostring(self.root))
        for name in DIRECTORY_ELEMENTS:
            node = root.find(name)
            if node is None or not node.text:
                continue
            original = node.text.strip().replace("\\", "/")
            original = re.sub(r"^[A-Za-z]:", "", original)
            node.text = str(out / original.lstrip("/"))
        target = out / self.path.name
        ET.ElementTree(root).write(target, encoding="UTF-8", xml_declaration=True)
        return target

    def directory(self, relocated: Path, name: str) -> Path:
        return Path(_text(ET.parse(relocated).getroot(), name))

    # --------------------------------------------------------------- tables

    def synthetic_fixture(self, rows: int = 25) -> Fixture:
        tables: dict[str, dict] = {}
        main = {"name": self.table, "columns": [], "rows": []}
        tables[self.table.lower()] = main
        makers = []
        for f in self.fields():
            name = _text(f, "FieldName")
            code = int(_text(f, "DataType") or "202")
            size = int(_text(f, "FieldSize") or "0") if _text(f, "FieldSize").isdigit() else 0
            required = _text(f, "FieldRequired") == "TRUE"
            is_key = name == self.key
            column = {"name": name, "type": code, "size": size if _is_text(code) else 0,
                      "nullable": not (required or is_key), "autoinc": is_key and _is_int(code),
                      "pk": is_key}
            if code == 11:
                column["default"] = False
                column["nullable"] = False
            main["columns"].append(column)
            makers.append(self._maker(f, name, code, size, required, is_key, tables, rows))
        for i in range(1, rows + 1):
            main["rows"].append([make(i) for make in makers])
        return Fixture([t for t in tables.values()]).named_exactly()

    def _maker(self, f, name, code, size, required, is_key, tables, rows):
        lookup = f.find("LookupTable")
        use = _text(lookup, "UseLookupTable") == "TRUE"
        kind = _text(lookup, "LookupTableType")
        if is_key:
            return lambda i: _value(code, size, i, name, key=True)
        if use and kind == "DatabaseTable":
            table = _text(lookup, "LookupTableName")
            join = _text(lookup, "LookupJoinField")
            show = _text(lookup, "LookupShowField")
            t = tables.setdefault(table.lower(), {"name": table, "columns": [], "rows": []})
            names = [c["name"].lower() for c in t["columns"]]
            if join.lower() not in names:
                t["columns"].append({"name": join, "type": code, "size": size if _is_text(code) else 0,
                                     "nullable": False, "autoinc": False, "pk": not t["columns"]})
            if show.lower() not in [c["name"].lower() for c in t["columns"]]:
                t["columns"].append({"name": show, "type": 202, "size": 50, "nullable": True,
                                     "autoinc": False, "pk": False})
            t["rows"] = []
            for j in range(1, 6):
                t["rows"].append([_value(c["type"], c["size"], j, c["name"], key=c["name"] == join)
                                  for c in t["columns"]])

            def make(i, code=code, size=size, join=join):
                if i % 6 == 0 and not required:
                    return None
                return _value(code, size, (i - 1) % 5 + 1, join, key=True)
            return make
        if use and kind == "ManualList":
            values = [_text(r, "JoinField") for r in lookup.findall("LookupArray/Row")]

            def make(i, values=values):
                if not values:
                    return None if not required else _value(code, size, i, name)
                v = values[(i - 1) % len(values)]
                return _convert(v, code)
            return make
        return lambda i: _value(code, size, i, name)


def _is_int(code: int) -> bool:
    return code in (2, 3, 16, 17, 18, 19, 20, 21)


def _is_text(code: int) -> bool:
    return code in (8, 72, 129, 130, 200, 201, 202, 203)


def _value(code: int, size: int, i: int, name: str, key: bool = False):
    if _is_int(code):
        return i
    if code in (4, 5, 6, 14, 131, 139):
        return float(i) if key else round(i * 1.25, 2)
    if code == 11:
        return i % 2 == 0
    if code in (7, 64, 133, 134, 135):
        return f"2024-{(i - 1) // 28 + 1:02d}-{(i - 1) % 28 + 1:02d}"
    if _is_text(code):
        text = f"K{i:03d}" if key else f"{name} {i}"
        if size and len(text) > size:
            text = str(i).zfill(size)[-size:] if key else text[-size:]
        return text
    return str(i)


def _convert(text: str, code: int):
    try:
        if _is_int(code):
            return int(text)
        if code in (4, 5, 6, 14, 131, 139):
            return float(text)
    except ValueError:
        return text
    if code == 11:
        return text.lower() in ("1", "true", "-1", "yes")
    return text


@dataclass
class Generated:
    project: Project
    relocated: Path
    returncode: int
    report: str
    pages: dict[str, Path] = field(default_factory=dict)
    page_dir: Path | None = None


def generate(binary: Path, project: Project, out: Path) -> Generated:
    """Runs `tvkwizard generate` on a relocated copy of the project."""
    out.mkdir(parents=True, exist_ok=True)
    relocated = project.relocate(out)
    for name in DIRECTORY_ELEMENTS:
        d = project.directory(relocated, name)
        if str(d):
            d.mkdir(parents=True, exist_ok=True)
    proc = subprocess.run([str(binary), "generate", str(relocated)], capture_output=True, text=True,
                          timeout=120)
    page_dir = project.directory(relocated, "FileDirectory")
    g = Generated(project, relocated, proc.returncode, proc.stdout + proc.stderr, page_dir=page_dir)
    for name in project.page_names():
        if (page_dir / name).is_file():
            g.pages[name] = page_dir / name
    return g
