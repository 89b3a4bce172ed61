"""Generating pages with the build's tvkwizard for the page tests."""

from __future__ import annotations

import tempfile
from pathlib import Path

from harness.database import engine_dialect
from harness.fixture import ROOT, wizard_binary
from harness.project import Generated, Project, generate

__all__ = ["ROOT", "Workspace"]


class Workspace:
    """A temporary directory that holds generated projects."""

    def __init__(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="tvk-pages-")
        self.path = Path(self._tmp.name)

    def generate(self, project: Project | Path, as_stored: bool = False, out: str | None = None) -> Generated:
        """Generates the project as the wizard would have made it against
        the engine under test: a project without a stored dialect gets the
        engine's (the stored files keep none, as projects of older wizards).
        `as_stored` generates the file as it stands; `out` names the
        directory under the workspace (default: the file's name)."""
        if not isinstance(project, Project):
            project = Project.load(project)
        if not as_stored:
            project = project.made_for(engine_dialect())
        return generate(wizard_binary(), project, self.path / (out or project.path.stem))

    def close(self):
        self._tmp.cleanup()
