"""examples/plot_display.py draws PNG files the way the instrument shows traces."""
import dataclasses
import importlib.util
import os
import subprocess
import sys

import pytest

import vxcore

pytest.importorskip("matplotlib", reason="the plot example needs python3-matplotlib")


def load_example(examples):
    spec = importlib.util.spec_from_file_location("plot_display",
                                                  os.path.join(examples, "plot_display.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


@pytest.mark.parametrize("name", ["fft1.56d", "g3.56d"])
def test_plots_a_display_file_to_png(examples, files, tmp_path, name):
    source = os.path.join(examples, name) if name == "fft1.56d" else files / name
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, os.path.join(examples, "plot_display.py"), str(source),
                           str(tmp_path / "trace.png")], env=env, cwd=tmp_path,
                          capture_output=True, text=True)
    assert (done.returncode, done.stdout, done.stderr) == (0, "", "")
    assert (tmp_path / "trace.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert sorted(os.listdir(tmp_path)) == ["trace.png"]


def test_log_sweeps_and_octave_bands_get_a_log_x_axis(examples, files):
    plot = load_example(examples)
    info = vxcore.info(files / "g3.56d")  # a linear sweep
    assert not plot.log_x_axis(info)
    assert plot.log_x_axis(dataclasses.replace(info, sweep_type=1))
    assert plot.log_x_axis(vxcore.info(files / "g2.56d"))  # octave bands
    assert not plot.log_x_axis(vxcore.info(examples + "/fft1.56d"))
