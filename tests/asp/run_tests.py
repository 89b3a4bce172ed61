#!/usr/bin/env python3
"""Runs the ASP page tests (tests/asp/test_*.py) in Wine's VBScript engine.

    tests/asp/run_tests.py [-v] [-k pattern]   run the tests
    tests/asp/run_tests.py --prepare           create the Wine prefix and exit

Exit status 77 (ctest's "skipped") when Wine is not installed here, or the
database TVK_ASP_DB names (sqlite, the default; postgres; mariadb) cannot
be reached; the reason is printed. TVK_BINARY_DIR names the build whose tvkwizard generates
the pages under test (default: build/ beside this source tree).
"""

from __future__ import annotations

import argparse
import os
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import WineUnavailable  # noqa: E402
from harness.runner import WineRunner  # noqa: E402

SKIPPED = 77


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("-v", "--verbose", action="store_true")
    parser.add_argument("-k", dest="patterns", action="append", help="only tests matching this pattern")
    parser.add_argument("--prepare", action="store_true", help="create the Wine prefix and exit")
    args = parser.parse_args()

    started = time.monotonic()
    runner = WineRunner()
    try:
        runner.check()
    except WineUnavailable as e:
        print(f"ASP page tests SKIPPED: {e}")
        return SKIPPED
    finally:
        runner.close()
    if args.prepare:
        print(f"Wine prefix ready: {runner.prefix}")
        return 0

    os.environ.setdefault("TVK_BINARY_DIR", str(HERE.parent.parent / "build"))
    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [p if "*" in p else f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    result = unittest.TextTestRunner(verbosity=2 if args.verbose else 1).run(suite)
    engine = os.environ.get("TVK_ASP_DB") or "sqlite"
    print(f"ASP page tests on {engine}: {result.testsRun} run in {time.monotonic() - started:.1f} s")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
