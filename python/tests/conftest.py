"""Shared fixtures: the package from this tree, the built vxconv and the
instrument files the test fixtures write (see run_tests.py and
python/CMakeLists.txt for the environment)."""
import os
import subprocess
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


def _built(variable):
    path = os.environ.get(variable)
    if not path:
        pytest.skip("%s is not set: run these tests through ctest" % variable)
    return path


@pytest.fixture(scope="session")
def files(tmp_path_factory):
    """g0.56d ... g5.56d (one Display file per measure group), w.56w (a
    Waterfall file whose slice s of channel c holds the real part 1000 c + s)
    and c2.56c (a Capture file of channel 2)."""
    folder = tmp_path_factory.mktemp("files")
    subprocess.run([_built("VX_MAKE_TEST_FILES"), str(folder)], check=True)
    return folder


@pytest.fixture(scope="session")
def vxconv():
    """Runs the built vxconv in a folder; fails on a nonzero status."""
    program = _built("VXCONV")

    def run(folder, *args):
        done = subprocess.run([program, *map(str, args)], cwd=folder, capture_output=True,
                              stdin=subprocess.DEVNULL, text=True)
        assert done.returncode == 0, done.stdout
        return done
    return run


@pytest.fixture
def examples():
    return os.environ.get("VX_EXAMPLES_DIR",
                          os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
