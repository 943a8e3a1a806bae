"""scan() and catalog() over a tree of instrument files and everything else a
folder of copied disks holds."""
import os
import random
import shutil

import pytest

import vxcore


@pytest.fixture
def tree(files, tmp_path):
    """A tree with instrument files (one under a text file's name), a damaged
    one, and files and links that are none; returns it and the paths scan()
    must yield."""
    root = tmp_path / "disks"
    (root / "a" / "b").mkdir(parents=True)
    shutil.copy(files / "g0.56d", root / "g0.56d")
    shutil.copy(files / "w.56w", root / "a" / "b" / "w.56w")
    shutil.copy(files / "c2.56c", root / "a" / "c2.56c")
    shutil.copy(files / "g3.56d", root / "a" / "notes.txt")  # found by content
    (root / "a" / "damaged.56d").write_bytes((files / "g1.56d").read_bytes()[:2000])
    (root / "readme.txt").write_text("measurements of 12 May\n")
    (root / "a" / "sine.txt").write_text("0.0\n0.5\n1.0\n")  # a number list
    (root / "junk.56d").write_bytes(random.Random(1).randbytes(3000))
    (root / "empty.56d").write_bytes(b"")
    (root / "a" / "up").symlink_to("..")  # a folder loop
    (root / "self").symlink_to("self")  # a link to itself
    os.mkfifo(root / "a" / "pipe.56d")  # opening it would wait for a writer
    found = [root / "a" / "b" / "w.56w", root / "a" / "c2.56c", root / "a" / "damaged.56d",
             root / "a" / "notes.txt", root / "g0.56d"]
    return root, sorted(str(p) for p in found)


def test_scan_yields_exactly_the_instrument_files_sorted(tree):
    root, expected = tree
    found = list(vxcore.scan(root))
    assert [f.path for f in found] == expected
    damaged = {f.path: f for f in found}[str(root / "a" / "damaged.56d")]
    assert damaged.info is None and isinstance(damaged.error, vxcore.Error)
    assert damaged.error.status == 26
    assert all(f.error is None and f.info is not None for f in found if f is not damaged)
    assert [f.path for f in vxcore.scan(str(root), recursive=False)] == [str(root / "g0.56d")]
    with pytest.raises(FileNotFoundError):
        next(vxcore.scan(root / "typo"))  # never an empty scan


def test_catalog_has_a_row_per_file_with_its_main_settings(tree):
    pytest.importorskip("pandas", reason="catalog() needs pandas (Debian python3-pandas)")
    root, expected = tree
    frame = vxcore.catalog(root)
    assert list(frame.columns) == ["path", "kind", "measurement", "measure_group", "points",
                                   "span", "sampling_rate", "time", "error"]
    assert list(frame["path"]) == expected
    rows = frame.set_index("path")
    display = rows.loc[str(root / "g0.56d")]
    assert (display["kind"], display["measure_group"], display["points"]) == (
        "VX560 Display", "FFT", 401)
    assert display["span"] == vxcore.info(root / "g0.56d").settings["span"].value
    capture = rows.loc[str(root / "a" / "c2.56c")]
    assert capture["kind"] == "Capture" and capture["sampling_rate"] > 0
    assert "Invalid file format" in rows.loc[str(root / "a" / "damaged.56d")]["error"]
    assert rows["error"].isna().sum() == len(expected) - 1
