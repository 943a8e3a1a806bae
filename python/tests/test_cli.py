"""python3 -m vxcore info and plot, and the figure plot() draws."""
import json
import os
import subprocess
import sys

import numpy
import pytest

import vxcore

PACKAGE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def run(*args):
    env = dict(os.environ, PYTHONPATH=PACKAGE_DIR)
    return subprocess.run([sys.executable, "-m", "vxcore", *map(str, args)], env=env,
                          capture_output=True, text=True, stdin=subprocess.DEVNULL)


def words(line):
    return " ".join(line.split())


def test_info_lists_the_settings_as_the_ascii_header_does(files, vxconv, tmp_path):
    done = run("info", files / "g0.56d")
    assert (done.returncode, done.stderr) == (0, "")
    rows = done.stdout.splitlines()
    assert rows[0].split() == ["Kind:", "VX560", "Display"]
    vxconv(tmp_path, files / "g0.56d", tmp_path / "h.asc", "/H2")
    header = (tmp_path / "h.asc").read_text(encoding="latin-1").splitlines()[1:]
    settings = [words(r) for r in rows[8:]]  # after the eight identity rows
    assert settings == [words(line) for line in header[:len(settings)]]

    document = json.loads(run("info", "--json", files / "c2.56c").stdout)
    assert document["identity"]["kind"] == "Capture"
    assert [s["key"] for s in document["settings"]] == list(vxcore.info(files / "c2.56c").settings)


@pytest.mark.parametrize("name, message", [
    ("missing.56d", "No such file or directory"),
    ("junk.56d", "Unknown input file format"),
    ("pipe", "not a regular file"),
])
def test_a_missing_or_refused_file_is_one_line_and_status_1(tmp_path, name, message):
    (tmp_path / "junk.56d").write_bytes(b"not a measurement\n" * 10)
    os.mkfifo(tmp_path / "pipe")
    for command in (["info"], ["plot", "-o", tmp_path / "out.png"]):
        done = run(*command, tmp_path / name)
        assert (done.returncode, done.stdout) == (1, "")
        assert done.stderr.count("\n") == 1 and message in done.stderr
    assert not (tmp_path / "out.png").exists()


def test_a_reader_that_goes_away_ends_the_command_quietly(files):
    env = dict(os.environ, PYTHONPATH=PACKAGE_DIR)
    command = [sys.executable, "-m", "vxcore", "info", "--json", str(files / "g0.56d")]
    done = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    done.stdout.close()  # before the command has written a line
    assert (done.wait(), done.stderr.read()) == (141, b"")


def test_plot_writes_a_png(files, tmp_path):
    pytest.importorskip("matplotlib", reason="plot needs matplotlib (Debian python3-matplotlib)")
    for name, extra in [("g0.56d", []), ("c2.56c", []), ("w.56w", ["--slice", "3"])]:
        done = run("plot", files / name, "-o", tmp_path / "out.png", *extra)
        assert (done.returncode, done.stderr) == (0, "")
        image = (tmp_path / "out.png").read_bytes()
        assert image.startswith(PNG_SIGNATURE) and len(image) > 1000


def test_plot_axes_follow_the_file(files):
    pytest.importorskip("matplotlib", reason="plot needs matplotlib (Debian python3-matplotlib)")
    from vxcore._plot import plot
    octave = plot(files / "g2.56d")
    (ax,) = octave.axes
    assert ax.get_xscale() == "log" and ax.get_xlabel().endswith("(Hz)")
    assert (ax.lines[0].get_xdata() > 0).all()  # the overall level at x = 0 left out

    nyquist = plot(files / "g0.56d", view=7)
    assert [ax.get_ylabel() for ax in nyquist.axes] == ["Magnitude (dBVpk)", "Phase (deg)"]
    assert nyquist.axes[0].get_xscale() == "linear"

    slice5 = plot(files / "w.56w", slice=5, channel="B").axes[0].lines[0]
    numpy.testing.assert_array_equal(slice5.get_ydata(),
                                     vxcore.read(files / "w.56w", slice=5, channel="B").y)
    capture = plot(files / "c2.56c").axes[0]
    assert capture.get_xlabel() == "Time (s)"
    numpy.testing.assert_array_equal(capture.lines[0].get_ydata(),
                                     vxcore.read_capture(files / "c2.56c").volts)
