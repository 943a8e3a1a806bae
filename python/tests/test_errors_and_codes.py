"""Failures say why in one line and by their class; Info's codes are enums
with vxcore.h's names and values."""
import errno
import os
import pickle
import re

import pytest

import vxcore

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "lib", "vxcore.h")


@pytest.mark.parametrize("call, name, kind, message", [
    (vxcore.info, "none.56d", vxcore.NotFoundError, "'{path}' does not exist"),
    (vxcore.read_capture, "none.56c", vxcore.NotFoundError, "'{path}' does not exist"),
    (vxcore.read_capture, "g0.56d", vxcore.WrongKindError,
     "'{path}' is a Display file: use read()"),
    (vxcore.read_capture, "w.56w", vxcore.WrongKindError,
     "'{path}' is a Waterfall file: use read() with slice="),
    (vxcore.read, "c2.56c", vxcore.WrongKindError,
     "'{path}' is a Capture file: use read_capture()"),
    (vxcore.read, "w.56w", vxcore.WrongKindError,
     "'{path}' is a Waterfall file: use read() with slice="),
    (lambda path: vxcore.read(path, slice=0), "g0.56d", vxcore.WrongKindError,
     "'{path}' is a Display file: use read() without slice="),
], ids=["info missing", "read_capture missing", "read_capture display",
        "read_capture waterfall", "read capture", "read waterfall", "slice of display"])
def test_failures_say_why_in_one_line(files, call, name, kind, message):
    path = files / name
    with pytest.raises(vxcore.Error) as failed:
        call(path)
    assert type(failed.value) is kind
    assert str(failed.value) == message.format(path=path)
    assert failed.value.status != 0
    again = pickle.loads(pickle.dumps(failed.value))  # as it crosses to another process
    assert (type(again), str(again), again.messages) == (kind, str(failed.value),
                                                          failed.value.messages)


def test_a_missing_file_is_a_file_not_found_error(files):
    path = str(files / "none.56d")
    with pytest.raises(FileNotFoundError) as failed:
        vxcore.read(path)
    assert failed.value.errno == errno.ENOENT and failed.value.filename == path
    assert isinstance(failed.value, vxcore.Error) and failed.value.messages


@pytest.mark.parametrize("name, size, call, status", [
    ("g1.56d", 300, vxcore.read, 26),
    ("g1.56d", 300, vxcore.read_capture, 26),
    ("c2.56c", 2000, vxcore.read_capture, 2),
])
def test_a_damaged_file_named_in_another_case_is_damaged_not_missing(files, tmp_path, monkeypatch,
                                                                     name, size, call, status):
    # Saved as "CUT.56X", asked for as "../cut.56x": the engine finds it whatever the case.
    suffix = os.path.splitext(name)[1]
    (tmp_path / ("CUT" + suffix.upper())).write_bytes((files / name).read_bytes()[:size])
    (tmp_path / "sub").mkdir()
    monkeypatch.chdir(tmp_path / "sub")
    path = os.path.join(os.pardir, "cut" + suffix)
    with pytest.raises(vxcore.DamagedFileError) as failed:
        call(path)
    assert failed.value.status == status and failed.value.messages
    assert "\n" not in str(failed.value) and failed.value.messages[-1] in str(failed.value)


def _header_codes():
    """{prefix: {name: value}} of vxcore.h's enumerators VX560_<PREFIX>_<NAME> = value."""
    codes = {}
    text = open(HEADER).read()
    for prefix, name, value in re.findall(r"VX560_([A-Z]+)_(\w+) = (-?\d+)", text):
        codes.setdefault(prefix, {})[name] = int(value)
    return codes


@pytest.mark.parametrize("prefix, enum", [
    ("GROUP", vxcore.MeasGroup), ("VIEW", vxcore.View), ("PEAK", vxcore.PeakUnits),
    ("DB", vxcore.DbUnits), ("PHASE", vxcore.PhaseUnits), ("AXIS", vxcore.XAxisKind),
])
def test_enums_have_the_names_and_values_of_the_header(prefix, enum):
    assert {m.name: m.value for m in enum} == _header_codes()[prefix]


@pytest.mark.parametrize("name, kind", [
    ("g0.56d", vxcore.FileKind.VX560_DISPLAY), ("g3.56d", vxcore.FileKind.VX560_DISPLAY),
    ("w.56w", vxcore.FileKind.WATERFALL), ("c2.56c", vxcore.FileKind.CAPTURE),
])
def test_info_codes_are_enum_members_equal_to_the_codes(files, name, kind):
    info = vxcore.info(files / name)
    assert info.kind is kind
    for field, enum in [("meas_group", vxcore.MeasGroup), ("view", vxcore.View),
                        ("peak_units", vxcore.PeakUnits), ("db_units", vxcore.DbUnits),
                        ("phase_units", vxcore.PhaseUnits), ("x_axis_kind", vxcore.XAxisKind),
                        ("sweep_type", vxcore.SweepType)]:
        value = getattr(info, field)
        assert type(value) is enum and not value.name.startswith("UNKNOWN")
    if name.startswith("g"):
        assert info.meas_group == int(name[1])
    # A code the header does not name still makes a member, equal to it.
    assert vxcore.View(42) == 42 and vxcore.View(42).name == "UNKNOWN_42"

