"""Generating pages with the build's tvkwizard for the page tests."""

from __future__ import annotations

import tempfile
from pathlib import Path

from harness.fixture import ROOT, wizard_binary
from harness.project import Generated, Project, generate

__all__ = ["ROOT", "Workspace"]


class Workspace:
    """A temporary directory that holds generated projects."""

    def __init__(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="tvk-pages-")
        self.path = Path(self._tmp.name)

    def generate(self, project: Project | Path) -> Generated:
        if not isinstance(project, Project):
            project = Project.load(project)
        return generate(wizard_binary(), project, self.path / project.path.stem)

    def close(self):
        self._tmp.cleanup()
