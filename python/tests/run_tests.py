"""Runs the package's pytest tests; exit status 77 (skipped) when numpy or
pytest is missing."""
import os
import sys

try:
    import numpy  # noqa: F401
    import pytest
except ImportError as e:
    print("Python package tests skipped: %s (Debian: python3-numpy python3-pytest)" % e)
    sys.exit(77)

here = os.path.dirname(os.path.abspath(__file__))
sys.exit(pytest.main(["-q", "-p", "no:cacheprovider", "--rootdir", here, here]))
