#!/usr/bin/env python3
"""Checks the wizard's HTML pages and flow file against what the window needs.

The window finds every control by id (radio groups by name), so a renamed id,
a missing hidden input or a flow branch that never reaches the final page
breaks the wizard without any compiler noticing. Run from anywhere:
    python3 tests/pages/check_pages.py [data directory]
"""
import sys
import xml.etree.ElementTree as ET
from html.parser import HTMLParser
from pathlib import Path

DATA = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "data"
PAGES = DATA / "TVKWizardHTML"
FLOW = DATA / "TVKWizardFlow.xml"

# Controls the loaders and storers reach, as "id:kind" (kind is the tag, or
# the input type; * for any element) and "name=value,value" for radio groups.
PAGING = "AllowPaging:checkbox RecordsPerPage:text Skip1HavigationButtons:checkbox " \
         "SkipEndHavigationButtons:checkbox PageNumberNavigation:checkbox MaxPages:text "
EDITING = "AllowAddRecord:checkbox AllowUpdateRecord:checkbox AllowDeleteRecord:checkbox "
FIELD_SELECT = "TableFields:select DisplayedFields:select AddField:button AddAllFields:button " \
               "RemoveField:button RemoveAllFields:button MoveFieldUp:button MoveFieldDown:button"
REQUIRED = {
    "TVKIntro": "ProjectOpenType=New,Recent,Existing RecentProjects:select ExistingProjectPath:text "
                "FileOpen-ExistingProject:button",
    "TVKProjType": "ProjectType=List,Form,ListForm ProjectType-List:radio ProjectType-Form:radio "
                   "ProjectType-ListForm:radio",
    "TVKProjStyle": "ProjectStyle=Classic,Professional,XP",
    "TVKProjectName": "ProjectName:text FileDirectory:text VIDFileDirectory:text StandAloneMessage:* "
                      "VIDMessage:* ChooseDirectory:button",
    "TVKDatabaseConnection": "DataSourceType=ConnectionString,GlobalASADataSource DS_ASA:radio "
                             "GlobalASAFilePath:* GlobalASADataSourceName:select ConnectionStringText:textarea",
    "TVKDataSource": "TableName:select",
    "TVKListOptions": EDITING + PAGING,
    "TVKListLFOptions": PAGING,
    "TVKFormOptions": EDITING + "AllowNavigation:checkbox Skip1HavigationButtons:checkbox "
                                "SkipEndHavigationButtons:checkbox DisplayRecordNo:checkbox",
    "TVKListFieldSelect": FIELD_SELECT,
    "TVKFormFieldSelect": FIELD_SELECT,
    "TVKFieldOptions": "FieldSelect:select FieldDataType:text ColumnLabel:text AllowSorting:checkbox "
                       "AllowFiltering:checkbox ReadOnly:checkbox RequiredField:checkbox UseLookup:checkbox "
                       "LookupType=DatabaseTable,ManualList LookupTable:select LookupTableLinkField:select "
                       "LookupDisplayField:select LookupDisplayType=SelectList,RadioList EditList:button",
    "TVKConfirm": "ConfirmFiles:*",
    "TVKFinished": "WizardResults:textarea SaveWizData:button",
}
BUTTON_TEXT = {"AddField": "Add >", "AddAllFields": "Add All >>", "RemoveField": "< Remove",
               "RemoveAllFields": "<< Remove All", "MoveFieldUp": "Up", "MoveFieldDown": "Down"}
BRANCHES = {
    "List": ["TVKListOptions", "TVKListFieldSelect"],
    "Form": ["TVKFormOptions", "TVKFormFieldSelect"],
    "ListForm": ["TVKListLFOptions", "TVKFormOptions", "TVKListFieldSelect", "TVKFormFieldSelect"],
}


class Page(HTMLParser):
    def __init__(self, text):
        super().__init__()
        self.kinds, self.values, self.texts, self.dups, self.fors, self.radios, self.urls = {}, {}, {}, [], [], {}, []
        self.button = None
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        kind = (a.get("type") or "text").lower() if tag == "input" else tag
        self.urls += [v for k, v in attrs if k in ("src", "href") and v and (":" in v or v.startswith("//"))]
        if tag == "label" and "for" in a:
            self.fors.append(a["for"])
        if kind == "radio":
            self.radios.setdefault(a.get("name"), []).append(a.get("value"))
        if "id" in a:
            if a["id"] in self.kinds:
                self.dups.append(a["id"])
            self.kinds[a["id"]], self.values[a["id"]] = kind, a.get("value")
        if tag == "button":
            self.button = a.get("id")
            self.texts[self.button] = ""

    def handle_data(self, data):
        if self.button:
            self.texts[self.button] += data

    def handle_endtag(self, tag):
        if tag == "button":
            self.button = None


def page_problems(path):
    page, stem = Page(path.read_text(encoding="utf-8")), path.stem
    problems = [f"duplicate id {i!r}" for i in page.dups]
    problems += [f"<label for={i!r}> names no element" for i in page.fors if i not in page.kinds]
    problems += [f"external resource {u!r}" for u in page.urls]
    if page.values.get("WIZF_PageName") != stem:
        problems.append(f"WIZF_PageName is {page.values.get('WIZF_PageName')!r}, not {stem!r}")
    for hidden in ("WIZF_NextURL", "WIZF_BackURL"):
        if page.kinds.get(hidden) != "hidden" or page.values.get(hidden) not in ("TRUE", "FALSE"):
            problems.append(f"no hidden input {hidden} holding TRUE or FALSE")
    for need in REQUIRED.get(stem, "").split():
        if "=" in need:
            name, values = need.split("=")
            if sorted(page.radios.get(name, [])) != sorted(values.split(",")):
                problems.append(f"radio group {name!r} has values {page.radios.get(name)}, wants {values}")
            continue
        element_id, kind = need.split(":")
        if element_id not in page.kinds:
            problems.append(f"missing id {element_id!r}")
        elif kind != "*" and page.kinds[element_id] != kind:
            problems.append(f"id {element_id!r} is a {page.kinds[element_id]}, wants a {kind}")
        elif element_id in BUTTON_TEXT and page.texts[element_id].strip() != BUTTON_TEXT[element_id]:
            problems.append(f"button {element_id!r} reads {page.texts[element_id].strip()!r}")
    return problems


def walk(root, project_type):
    """The pages Next shows, from the first stage, for one project type."""
    stage, pages = root.find("Stage"), []
    while stage is not None:
        pages.append(stage.findtext("Page"))
        stage = next((child for child in stage.findall("Stage") if child.find("Condition") is None
                      or child.findtext("Condition/Test") == "ProjectType"
                      and child.findtext("Condition/Value") == project_type), None)
    return pages


def main():
    results = {}
    for path in sorted(PAGES.glob("*.htm")):
        results[path.name] = page_problems(path)
    root = ET.parse(FLOW).getroot()
    stages = list(root.iter("Stage"))
    results["flow files"] = [f"stage {s.findtext('Page')!r} names missing file {s.findtext('File')!r}"
                             for s in stages if not (PAGES / (s.findtext("File") or "")).is_file()]
    results["flow files"] += [f"stage file {s.findtext('File')!r} does not match page {s.findtext('Page')!r}"
                              for s in stages if s.findtext("File") != f"{s.findtext('Page')}.htm"]
    for project_type, own_pages in BRANCHES.items():
        pages = walk(root, project_type)
        want = list(REQUIRED)[:6] + own_pages + ["TVKFieldOptions", "TVKConfirm", "TVKFinished"]
        if not pages or pages[-1] != "TVKFinished":
            results[f"flow for {project_type}"] = [f"Next stops at {pages[-1:]} and never reaches TVKFinished"]
        else:
            results[f"flow for {project_type}"] = [] if pages == want else [f"Next shows {pages}, wants {want}"]
    failed = {name: problems for name, problems in results.items() if problems}
    for name, problems in failed.items():
        print(f"FAIL {name}:\n  " + "\n  ".join(problems))
    print(f"{len(results) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
