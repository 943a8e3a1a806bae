"""vxcore.open(): a File's arrays against the package's one-call reads, and
its Dataset and DataFrame against vxconv's netCDF and CSV outputs."""
import os
import subprocess

import numpy
import pytest

import vxcore


@pytest.fixture(scope="module")
def buffers(files, vxconv):
    """A channel-1 Capture and an Arb. Waveform file beside the fixtures' c2.56c."""
    examples = os.environ.get("VX_EXAMPLES_DIR", os.path.join(os.path.dirname(__file__), "..",
                                                               "..", "examples"))
    for name, option in (("c1.56c", "/Ocap"), ("arb.56c", "/Oarb")):
        vxconv(files, os.path.join(examples, "sine.txt"), files / name, option)
    return files


@pytest.mark.parametrize("name", ["g0.56d", "g3.56d", "g5.56d"])
def test_complex_equals_the_real_and_imaginary_columns(files, name):
    with vxcore.open(files / name) as f:
        c = f.complex()
    re, im = vxcore.read(files / name, "r"), vxcore.read(files / name, "i")
    assert c.values.dtype == numpy.complex128 and c.x.dtype == numpy.float64
    assert (c.x_unit, c.unit) == (re.x_unit, re.y_unit)
    numpy.testing.assert_array_equal(c.x, re.x)
    numpy.testing.assert_array_equal(c.values.real, re.y)
    numpy.testing.assert_array_equal(c.values.imag, im.y)


@pytest.mark.parametrize("channel, column, units", [("A", "r", {}), ("B", "mag", {"db": "off"}),
                                                    ("b", "p", {"phase": "rad"})])
def test_waterfall_equals_the_slices_read_one_by_one(files, channel, column, units):
    with vxcore.open(files / "w.56w") as f:
        w = f.waterfall(channel, column=column, **units)
        assert w.values.shape == (f.info.waterfall_slices, f.info.points)
    slices = [vxcore.read(files / "w.56w", column, slice=s, channel=channel, **units)
              for s in range(len(w.slices))]
    assert w.slices.tolist() == list(range(12)) and w.channel == channel.upper()
    assert (w.x_unit, w.y_unit) == (slices[0].x_unit, slices[0].y_unit)
    numpy.testing.assert_array_equal(w.x, slices[0].x)
    numpy.testing.assert_array_equal(w.values, numpy.vstack([t.y for t in slices]))
    if column == "r":
        assert w.values[:, 0].tolist() == list(range(12))  # slice s of A holds s


@pytest.mark.parametrize("name, unit, title", [("c2.56c", "V", "Channel 2"),
                                               ("c1.56c", "V", "Channel 1"),
                                               ("arb.56c", "", "Source (fraction of full scale)")])
def test_samples_are_the_capture_over_its_time_axis(buffers, name, unit, title):
    with vxcore.open(buffers / name) as f:
        s = f.samples()
    capture = vxcore.read_capture(buffers / name)
    assert (s.unit, s.name, s.rate, s.time_stamp) == (unit, title, capture.sampling_freq,
                                                      vxcore.info(buffers / name).time)
    assert s.volts.dtype == numpy.float32 and s.time.dtype == numpy.float64
    numpy.testing.assert_array_equal(s.volts, capture.volts)
    assert s.time[0] == 0 and s.time[-1] == (len(s.volts) - 1) / capture.sampling_freq


def test_a_closed_file_and_a_method_of_another_kind_refuse(files):
    with vxcore.open(files / "w.56w") as f:
        assert f.kind == "Waterfall" and f.settings["measurement"].value == "FFT 1"
        with pytest.raises(vxcore.Error, match="w.56w is a Waterfall file: use waterfall()"):
            f.trace()
    with pytest.raises(vxcore.Error, match="is a VX560 Display file: use trace()"):
        vxcore.open(files / "g0.56d").samples()
    for use in (lambda: f.kind, lambda: f.settings, f.trace, f.waterfall, f.to_pandas):
        with pytest.raises(ValueError, match="closed file"):
            use()
    with pytest.raises(vxcore.Error):
        vxcore.open(files / "absent.56d")


def _written(vxconv_path, folder, source, output, option):
    """vxconv's output of a file, or a skip when vxconv cannot write it."""
    done = subprocess.run([vxconv_path, str(source), output, option], cwd=folder,
                          capture_output=True, stdin=subprocess.DEVNULL, text=True)
    if "is not built in" in done.stdout:
        pytest.skip("vxconv is built without netCDF output")
    assert done.returncode == 0, done.stdout
    return folder / output


SOURCES = ["g0.56d", "g3.56d", "w.56w", "c2.56c", "c1.56c", "arb.56c"]


@pytest.mark.parametrize("name", SOURCES)
def test_to_xarray_is_the_netcdf_output(buffers, tmp_path, name):
    xarray = pytest.importorskip("xarray", reason="no xarray (Debian: python3-xarray)")
    pytest.importorskip("netCDF4", reason="no netCDF4 (Debian: python3-netcdf4)")
    path = _written(os.environ["VXCONV"], tmp_path, buffers / name, "out.nc", "/Onc")
    written = xarray.open_dataset(path).load()
    with vxcore.open(buffers / name) as f:
        made = f.to_xarray()
    assert made.attrs.pop("source") == str(buffers / name)
    for data in (made, written):
        data.attrs.pop("history", None)
        data.attrs.pop("source", None)
    assert made.identical(written)
    for var in written.variables:
        assert made[var].dtype == written[var].dtype, var


@pytest.mark.parametrize("name", SOURCES)
def test_to_pandas_has_the_csv_columns(buffers, tmp_path, name):
    pandas = pytest.importorskip("pandas", reason="no pandas (Debian: python3-pandas)")
    path = _written(os.environ["VXCONV"], tmp_path, buffers / name, "out.csv", "/Ocsv")
    levels = 2 if name.endswith(".56w") else 1
    table = pandas.read_csv(path, index_col=list(range(levels)))
    with vxcore.open(buffers / name) as f:
        frame = f.to_pandas()
    assert list(frame.index.names) == list(table.index.names)
    assert list(frame.columns) == list(table.columns)
    # The CSV holds each float32 in its shortest form.
    numpy.testing.assert_array_equal(frame.to_numpy(numpy.float32), table.to_numpy(numpy.float32))
    index = frame.index.get_level_values(-1).to_numpy(numpy.float32)
    numpy.testing.assert_allclose(index, table.index.get_level_values(-1), rtol=1e-6)
