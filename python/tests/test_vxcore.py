"""The vxcore package against vxconv's own output, and as a host uses it:
failures, silence, the log file, threads."""
import re
import shutil
import struct
import threading

import numpy
import pytest

import vxcore

# vxconv's /U tokens for the package's unit names.
UNIT_TOKENS = {"peak": {"pk": "pk", "rms": "rms", "pp": "pp"},
               "db": {"off": "lin", "db": "db", "dbm": "dbm", "dbspl": "dbspl"},
               "phase": {"deg": "deg", "rad": "rad"}}


def ascii_table(path):
    """The unit texts of the column headings and the columns of an ASCII
    table, as float32 (the values the library hands out)."""
    lines = open(path, encoding="latin-1").read().splitlines()
    number = re.compile(r"^\s*[-+0-9.e]+(\s+[-+0-9.e]+)*\s*$")
    first = next(k for k, line in enumerate(lines) if number.match(line))
    units = re.findall(r"\[([^\]]*)\]", lines[first - 1])
    rows = [line.split() for line in lines[first:] if number.match(line)]
    return units, numpy.array(rows, dtype=numpy.float64).astype(numpy.float32).T


@pytest.mark.parametrize("name, column, units", [
    ("g0.56d", "mag", {}),
    ("g0.56d", "mag", {"peak": "rms", "db": "dbm"}),
    ("g1.56d", "r", {}),
    ("g2.56d", "mag", {"db": "dbspl"}),
    ("g3.56d", "p", {"phase": "rad"}),
    ("g3.56d", "up", {"phase": "deg"}),
    ("g4.56d", "m2", {"peak": "pp", "db": "off"}),
    ("g5.56d", "i", {}),
])
def test_columns_and_units_equal_the_ascii_table(files, vxconv, tmp_path, capfd, name, column,
                                                  units):
    trace = vxcore.read(files / name, column, **units)
    assert capfd.readouterr() == ("", "")
    args = [files / name, tmp_path / "out.asc", "/F%.8e", "/Cx," + column]
    if units:
        args.append("/U" + ",".join(UNIT_TOKENS[k][v] for k, v in units.items()))
    vxconv(tmp_path, *args)
    headings, (x, y) = ascii_table(tmp_path / "out.asc")
    assert [trace.x_unit, trace.y_unit] == headings
    assert trace.x.dtype == numpy.float32 and trace.y.dtype == numpy.float32
    numpy.testing.assert_array_equal(trace.x, x)
    numpy.testing.assert_array_equal(trace.y, y)
    assert trace.info.points == len(y) and trace.info.meas_group == int(name[1])


def test_a_waterfall_slice_of_either_channel(files, vxconv, tmp_path):
    info = vxcore.info(files / "w.56w")
    assert info.is_waterfall and info.waterfall_slices == 12
    assert (vxcore.read(files / "w.56w", "r", slice=5).y == 5).all()
    assert (vxcore.read(files / "w.56w", "r", slice=7, channel="B").y == 1007).all()
    trace = vxcore.read(files / "w.56w", "mag", slice=7, channel="b")
    vxconv(tmp_path, files / "w.56w", tmp_path / "out.asc", "/WB", "/S7", "/R1", "/F%.8e",
           "/Cx,mag")
    headings, (x, y) = ascii_table(tmp_path / "out.asc")
    assert [trace.x_unit, trace.y_unit] == headings
    numpy.testing.assert_array_equal(trace.x, x)
    numpy.testing.assert_array_equal(trace.y, y)
    with pytest.raises(vxcore.WrongKindError, match="is a Waterfall file: use read"):
        vxcore.read(files / "w.56w")  # a waterfall needs its slice
    with pytest.raises(ValueError):
        vxcore.read(files / "w.56w", slice=3, channel="c")


def test_capture_volts_equal_the_ascii_table(files, vxconv, tmp_path):
    capture = vxcore.read_capture(files / "c2.56c")
    assert capture.volts.dtype == numpy.float32
    assert (capture.kpoints, capture.input_range) == (4, 20)
    assert capture.volts[:2].tolist() == [10.0, -12.5]  # 20 dBV full scale is 10 V
    vxconv(tmp_path, files / "c2.56c", tmp_path / "out.asc", "/D", "/F%.8e")
    _, (volts,) = ascii_table(tmp_path / "out.asc")
    numpy.testing.assert_array_equal(capture.volts, volts)
    assert vxcore.info(files / "c2.56c").points == capture.volts.size
    with pytest.raises(vxcore.Error) as refused:
        vxcore.read_capture(files / "g0.56d")  # refused without a message line
    assert refused.value.status == 1 and refused.value.messages == []
    assert str(refused.value).endswith(" is a Display file: use read()")


def test_a_damaged_file_raises_its_messages_and_prints_nothing(files, tmp_path, capfd,
                                                               monkeypatch):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "cut.56d").write_bytes((files / "g1.56d").read_bytes()[:300])
    with pytest.raises(vxcore.Error) as failed:
        vxcore.read(tmp_path / "cut.56d")
    assert failed.value.status != 0 and failed.value.messages
    assert failed.value.messages[-1] in str(failed.value)
    assert capfd.readouterr() == ("", "")
    assert list(tmp_path.iterdir()) == [tmp_path / "cut.56d"]  # no qrblog.txt

    vxcore.set_log_file(tmp_path / "log.txt")
    try:
        with pytest.raises(vxcore.Error):
            vxcore.read(tmp_path / "cut.56d")
    finally:
        vxcore.set_log_file(None)
    assert (tmp_path / "log.txt").read_text().splitlines()[-1] == failed.value.messages[-1]


def test_convert_takes_tokens_as_given_and_returns_its_messages(files, tmp_path):
    shutil.copy(files / "g0.56d", tmp_path / "my run.56d")
    messages = vxcore.convert(tmp_path / "my run.56d", tmp_path / "my run.mat", "/Omat")
    assert (tmp_path / "my run.mat").stat().st_size > 0
    assert messages[-1] == "Finished"
    with pytest.raises(vxcore.Error) as failed:
        vxcore.convert("/X", tmp_path / "my run.56d")
    assert failed.value.messages[0] == "Error: Invalid option: /x"


def test_two_threads_read_at_once(files):
    expected = {name: vxcore.read(files / name, "r").y for name in ("g0.56d", "g3.56d")}
    errors = []

    def reader(name):
        try:
            for _ in range(25):
                numpy.testing.assert_array_equal(vxcore.read(files / name, "r").y, expected[name])
        except Exception as e:  # reported by the main thread
            errors.append(e)

    threads = [threading.Thread(target=reader, args=(name,)) for name in expected]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []


@pytest.mark.parametrize("call", [
    lambda files, out: vxcore.read(str(files / "g0.56d") + "\0.csv"),
    lambda files, out: vxcore.info(bytes(files / "g0.56d") + b"\0"),
    lambda files, out: vxcore.read_capture(str(files / "c2.56c") + "\0"),
    lambda files, out: vxcore.convert(files / "g0.56d", str(out / "o.asc") + "\0.csv"),
    lambda files, out: vxcore.convert(files / "g0.56d", out / "o.asc", "/Oasc\0/Omat"),
    lambda files, out: vxcore.set_log_file(str(out / "log.txt") + "\0"),
], ids=["read", "info", "read_capture", "convert", "convert option", "set_log_file"])
def test_a_nul_byte_in_a_name_is_refused_as_open_refuses_it(files, tmp_path, call):
    with pytest.raises(ValueError, match="embedded null byte"):
        call(files, tmp_path)
    assert list(tmp_path.iterdir()) == []


def test_disk_prompts_go_to_the_callback_only(files, tmp_path, capfd):
    whole = (files / "c2.56c").read_bytes()
    body, cut = whole[20:], 3000

    def segment(disk, position, data):
        return struct.pack("<5sxHIIi", b"QRB\x1a\0", disk, len(whole), position, len(data)) + data

    path = tmp_path / "split.56c"
    path.write_bytes(segment(1, 0, body[:cut]))
    with pytest.raises(vxcore.Error) as declined:
        vxcore.read_capture(path)
    assert "Answered no: the host program set no prompt hook" in declined.value.messages

    asked = []

    def insert_disk_2(question):
        asked.append(question)
        path.write_bytes(segment(2, cut, body[cut:]))
        return True

    capture = vxcore.read_capture(path, prompt=insert_disk_2)
    assert asked == ["Please insert disk number 2"]
    numpy.testing.assert_array_equal(capture.volts, vxcore.read_capture(files / "c2.56c").volts)

    def no_drive(question):
        raise KeyError("no drive")

    def nested(question):
        vxcore.info(files / "g0.56d")

    path.write_bytes(segment(1, 0, body[:cut]))
    with pytest.raises(KeyError):
        vxcore.read_capture(path, prompt=no_drive)
    with pytest.raises(vxcore.Error) as refused:
        vxcore.read_capture(path, prompt=nested)
    assert refused.value.status == 41
    assert capfd.readouterr() == ("", "")
    assert vxcore.info(files / "g0.56d").points > 0


@pytest.mark.parametrize("name", ["g0.56d", "g2.56d", "g5.56d", "w.56w", "c2.56c"])
def test_info_settings_are_the_exhaustive_header_typed(files, vxconv, tmp_path, name):
    info = vxcore.info(files / name)
    vxconv(tmp_path, files / name, tmp_path / "out.asc", "/H2")
    lines = open(tmp_path / "out.asc", encoding="latin-1", newline="").read().split("\r\n")
    lines = [line for line in lines[:lines.index("")] if not line.startswith("Input File: ")]
    assert [s.label + s.text for s in info.settings.values()] == lines
    for s in info.settings.values():
        if s.text.strip() in ("On", "Off"):
            assert s.value is (s.text.strip() == "On")
        if s.unit == "Hz":
            assert isinstance(s.value, (int, float))
    if name == "c2.56c":
        # The time stamp is null exactly when the file's date names no month.
        month = int(info.settings["date"].text.split("/")[0])
        assert (info.time is None) == (month == 0)
        if info.time:
            assert info.time.strftime("%H : %M : %S") == info.settings["time"].text
        assert info.settings["input_range"].value == 20
    else:
        assert info.time is None or info.time.year > 1900
