"""examples/dask_convert.py on a tree of 50 instrument files and a damaged
one, with two worker processes."""
import os
import shutil
import subprocess
import sys

import pytest

import vxcore

PACKAGE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FIXTURES = ["g0.56d", "g1.56d", "g2.56d", "g3.56d", "g4.56d", "g5.56d", "w.56w", "c2.56c"]


def test_every_file_of_a_tree_is_converted_as_vxconv_converts_it(examples, files, tmp_path):
    for module in ("dask.bag", "distributed"):
        pytest.importorskip(module, reason="dask_convert.py needs Debian python3-dask and "
                            "python3-distributed")
    reference = {}
    for name in FIXTURES:
        vxcore.convert(files / name, tmp_path / (name + ".csv"), "/Ocsv")
        reference[name] = (tmp_path / (name + ".csv")).read_bytes()
    source, destination = tmp_path / "source", tmp_path / "converted"
    expected = {}
    for k in range(50):
        name = FIXTURES[k % len(FIXTURES)]
        relative = os.path.join("disk%d" % (k % 5), "run%02d%s" % (k, os.path.splitext(name)[1]))
        os.makedirs(source / os.path.dirname(relative), exist_ok=True)
        shutil.copy(files / name, source / relative)
        expected[relative + ".csv"] = reference[name]
    (source / "disk0" / "damaged.56d").write_bytes((files / "g0.56d").read_bytes()[:1500])

    done = subprocess.run(
        [sys.executable, os.path.join(examples, "dask_convert.py"), source, destination,
         "--workers", "2"], env=dict(os.environ, PYTHONPATH=PACKAGE_DIR), capture_output=True,
        text=True, stdin=subprocess.DEVNULL, timeout=300)
    assert done.returncode == 1, done.stderr
    assert done.stdout.startswith("50 of 51 files converted to csv")
    assert "failed: %s" % (source / "disk0" / "damaged.56d") in done.stderr
    written = {os.path.relpath(os.path.join(top, name), destination)
               for top, _, names in os.walk(destination) for name in names}
    assert sorted(written) == sorted(expected)
    for relative, content in expected.items():
        assert (destination / relative).read_bytes() == content, relative
