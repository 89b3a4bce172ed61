"""Generating pages with the build's tvkwizard for the page tests."""

from __future__ import annotations

import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness.project import Generated, Project, generate

ROOT = Path(__file__).resolve().parent.parent.parent


def binary() -> Path:
    """The tvkwizard under test; SkipTest when that build cannot generate."""
    path = Path(os.environ.get("TVK_BINARY_DIR", ROOT / "build")) / "tvkwizard"
    if not path.is_file():
        raise unittest.SkipTest(f"no tvkwizard at {path}: build first")
    probe = subprocess.run([str(path), "--help"], capture_output=True, text=True)
    if not re.search(r"^\s+generate\s", probe.stdout, re.M):
        raise unittest.SkipTest(f"{path} has no generate command yet")
    return path


class Workspace:
    """A temporary directory that holds generated projects."""

    def __init__(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="tvk-pages-")
        self.path = Path(self._tmp.name)

    def generate(self, project: Project | Path) -> Generated:
        if not isinstance(project, Project):
            project = Project.load(project)
        return generate(binary(), project, self.path / project.path.stem)

    def close(self):
        self._tmp.cleanup()
