"""The /Onc output as xarray and h5py open it, with no options: the values
and units of the ASCII output of the same command line, for every input
kind; a conversion that fails leaves no file."""
import json
import os
import shutil
import subprocess

import numpy
import pytest

from test_vxcore import ascii_table
import vxcore

xarray = pytest.importorskip("xarray", reason="no xarray (Debian: python3-xarray)")
pytest.importorskip("netCDF4", reason="no netCDF4 (Debian: python3-netcdf4)")
h5py = pytest.importorskip("h5py", reason="no h5py (Debian: python3-h5py)")

SDF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared",
                   "testdata", "sdf", "HP35665A.DAT")


def netcdf(vxconv, folder, source, *options):
    """The netCDF output of a command line beside its ASCII table (units of
    the headings, columns); built-in check that h5py reads the same file."""
    vxconv(folder, source, "out.nc", "/Onc", *options)
    vxconv(folder, source, "out.asc", *options)
    units, columns = ascii_table(folder / "out.asc")
    data = xarray.open_dataset(folder / "out.nc").load()
    with h5py.File(folder / "out.nc", "r") as h5:
        for name, var in data.variables.items():
            assert numpy.array_equal(h5[name][...], var.values), name
            assert h5[name].attrs["units"].decode() == var.attrs["units"], name
    return data, units, columns


@pytest.mark.parametrize("source, options, names", [
    ("g2.56d", ("/Cx,mag", "/UdB"), ["magnitude"]),
    ("g3.56d", ("/Cx,r,i,up", "/Urad"), ["real", "imaginary", "unwrapped_phase"]),
    (SDF, ("/Cx,v,r,i",), None),
])
def test_trace_equals_the_ascii_table(files, vxconv, tmp_path, source, options, names):
    if source == SDF and not os.path.exists(SDF):
        pytest.skip("HP SDF sample files absent (../shared/testdata)")
    src = files / source if not os.path.isabs(source) else source
    data, units, columns = netcdf(vxconv, tmp_path, src, *options)
    names = names or list(data.data_vars)
    (axis,) = data.dims
    # An empty unit (a ratio) is CF's dimensionless "1".
    assert [data[axis].attrs["units"]] + [data[n].attrs["units"] for n in names] == \
        [u or "1" for u in units]
    numpy.testing.assert_allclose(data[axis].values, columns[0], rtol=1e-6)
    for k, name in enumerate(names, start=1):
        assert data[name].dims == (axis,)
        numpy.testing.assert_allclose(data[name].values, columns[k], rtol=1e-6, atol=1e-30)
    assert data.attrs["Conventions"] == "CF-1.8"
    assert data.attrs["history"].endswith(" ".join(("out.nc", "/Onc") + options))


def test_waterfall_is_slice_by_x(files, vxconv, tmp_path):
    data, units, columns = netcdf(vxconv, tmp_path, files / "w.56w", "/WB", "/S2", "/R5",
                                  "/Cx,r,i")
    assert data["real"].dims == ("slice", "frequency")
    assert list(data["slice"].values) == [2, 3, 4, 5, 6]
    assert (data.attrs["first_slice"], data.attrs["slice_count"], data.attrs["channel"]) == \
        (2, 5, "B")
    table = columns.T.reshape(5, -1, 3)
    numpy.testing.assert_allclose(data["frequency"].values, table[0, :, 0], rtol=1e-6)
    numpy.testing.assert_allclose(data["real"].values, table[:, :, 1], rtol=1e-6)
    numpy.testing.assert_allclose(data["imaginary"].values, table[:, :, 2], rtol=1e-6)
    assert data["real"].values[:, 0].tolist() == [1002 + s for s in range(5)]


def test_capture_samples_in_volts_over_seconds(files, vxconv, tmp_path):
    vxconv(tmp_path, files / "c2.56c", "out.asc", "/D")
    volts = numpy.loadtxt(tmp_path / "out.asc")
    messages = vxcore.convert(files / "c2.56c", tmp_path / "out.nc", "/Onc")
    assert messages is not None
    data = xarray.open_dataset(tmp_path / "out.nc").load()
    assert data["channel_2"].dtype == numpy.float32
    assert (data["channel_2"].attrs["units"], data["time"].attrs["units"]) == ("V", "s")
    numpy.testing.assert_allclose(data["channel_2"].values, volts, rtol=1e-6)
    rate = data.attrs["sampling_rate"]
    numpy.testing.assert_allclose(data["time"].values, numpy.arange(len(volts)) / rate)


@pytest.mark.parametrize("source", ["g0.56d", "g4.56d", "w.56w", "c2.56c", SDF])
def test_settings_are_typed_attributes_beside_their_json(files, vxconv, tmp_path, source):
    if source == SDF and not os.path.exists(SDF):
        pytest.skip("HP SDF sample files absent (../shared/testdata)")
    src = files / source if not os.path.isabs(source) else source
    vxconv(tmp_path, src, "out.nc", "/Onc")
    vxconv(tmp_path, src, "out.json", "/Ojson")
    document = json.loads((tmp_path / "out.json").read_text(encoding="utf-8"))
    attrs = xarray.open_dataset(tmp_path / "out.nc").attrs
    assert json.loads(attrs["settings"]) == {k: v for k, v in document.items() if k != "data"}
    assert document["settings"]
    for record in document["settings"]:
        # A key that names one of the file's own attributes has "setting_" before it.
        key = record["key"]
        key = "setting_" + key if "setting_" + key in attrs else key
        value = record["value"]
        if isinstance(value, bool):
            assert attrs[key] == int(value), key
        elif isinstance(value, (int, float)):
            assert attrs[key] == value, key
            if record["unit"]:
                assert attrs[key + "_units"] == record["unit"], key
        elif value is not None:
            assert attrs[key] == value, key


@pytest.mark.parametrize("source", ["w.56w", "c2.56c"])
def test_damaged_input_leaves_no_file(files, tmp_path, source):
    data = (files / source).read_bytes()
    (tmp_path / source).write_bytes(data[: len(data) * 2 // 3])
    done = subprocess.run([os.environ["VXCONV"], source, "/Onc"], cwd=tmp_path,
                          capture_output=True, stdin=subprocess.DEVNULL, text=True)
    assert done.returncode != 0, done.stdout
    assert sorted(os.listdir(tmp_path)) == sorted([source, "qrblog.txt"]), done.stdout
