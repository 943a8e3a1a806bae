"""The engine's calls: one lock, the message and prompt hooks, and the
functions and records the package exports."""
import ctypes
import dataclasses
import datetime
import json
import os
import threading
import types
import typing

import numpy

from . import _native

_COLUMNS = {"mag": 1, "m2": 2, "r": 3, "i": 4, "p": 5, "up": 6, "x": 7}
_X_COLUMN = 7
_PEAK = {None: -1, "off": 0, "pk": 1, "rms": 2, "pp": 3}
_DB = {None: -1, "off": 0, "db": 1, "dbm": 2, "dbspl": 3}
_PHASE = {None: -1, "deg": 0, "rad": 1}
_CHANNELS = {"a": b"A", "b": b"B"}
_MAX_SLICE = 2048  # the engine's highest waterfall index
_TEXT = "latin-1"  # the engine's texts are 8-bit


class Error(Exception):
    """A call the engine refused: `status` is its status, `messages` its message lines;
    without message lines, str() gives the library's text of the status."""

    def __init__(self, what, status, messages):
        self.status = status
        self.messages = list(messages)
        if self.messages:
            detail = "; ".join(self.messages)
        else:
            detail = "%s (status %d)" % (_lib.VX560_STRERROR(status).decode(_TEXT), status)
        super().__init__("%s: %s" % (what, detail))


@dataclasses.dataclass(frozen=True)
class Setting:
    """One setting of a file: its header label and text as vxconv /H2 prints
    them, and the value typed (a number in the SI base unit of `unit`, True
    or False for a switch, else the choice's text)."""
    label: str
    value: typing.Union[float, bool, str]
    unit: typing.Optional[str]
    text: str


@dataclasses.dataclass(frozen=True)
class Info:
    """A file as VX560_GETINFO describes it (codes as in vxcore.h), with its
    settings by key and its time stamp (None when the file has none)."""
    points: int
    measurement: str
    meas_group: int
    meas_number: int
    view: int
    peak_units: int
    db_units: int
    phase_units: int
    x_axis_kind: int
    sweep_type: int
    is_waterfall: bool
    waterfall_slices: int
    settings: typing.Mapping[str, Setting]
    time: typing.Optional[datetime.datetime]


@dataclasses.dataclass(frozen=True)
class Trace:
    """One column of a trace against its x values, with the headings' unit texts."""
    x: numpy.ndarray
    y: numpy.ndarray
    x_unit: str
    y_unit: str
    info: Info


@dataclasses.dataclass(frozen=True)
class Capture:
    """A Capture file's samples in volts (an Arb. Waveform file's in fractions of full scale)."""
    volts: numpy.ndarray
    sampling_freq: float
    input_range: int
    kpoints: int


_lib = _native.load()
_lock = threading.RLock()
_messages = []  # the message lines of the call in progress
_log_file = os.devnull
_calling = False  # an entry point runs: a prompt callback cannot call another


@_native.MessageHook
def _collect(line, _context):
    _messages.append(line.decode(_TEXT))


_lib.VX560_SETMESSAGEHOOK(_collect, None)


def set_log_file(path=None):
    """Sends the engine's error log to `path` (appended to; vxconv's default is
    qrblog.txt in the current folder); None keeps no log."""
    global _log_file
    # Absolute, so that the log stays where it was asked for when the caller
    # changes folder.
    name = os.devnull if path is None else os.path.abspath(os.fspath(path))
    with _lock:
        status = _lib.VX560_SETERRORLOGFILE(_name(name))
        if status != 0:
            raise Error("cannot open log file %r" % name, status, [])
        _log_file = name


def info(path, *, prompt=None):
    """Describes a Display, HP SDF, Capture/Arb. Waveform or Waterfall file."""
    with _lock:
        return _info(path, prompt)


def read(path, column="mag", *, peak=None, db=None, phase=None, slice=None, channel="A",
         prompt=None):
    """A trace's x values and one column in the given units (None: as saved).

    column: "x", "mag", "m2", "r", "i", "p" or "up"; peak: "off", "pk", "rms",
    "pp"; db: "off", "db", "dbm", "dbspl"; phase: "deg", "rad". With `slice`
    the trace is that slice (from 0) of a Waterfall file's channel "A" or "B".
    prompt: answers the disk prompts of a file spread over floppies.
    """
    request = _native.DataRequest(_choice("column", column, _COLUMNS), _choice("peak", peak, _PEAK),
                                  _choice("db", db, _DB), _choice("phase", phase, _PHASE))
    as_saved = _native.DataRequest(_X_COLUMN, -1, -1, -1)
    letter = _choice("channel", str(channel).lower(), _CHANNELS)
    if slice is not None and not 0 <= slice <= _MAX_SLICE:
        raise ValueError("slice must be 0 to %d, not %r" % (_MAX_SLICE, slice))
    with _lock:
        file_info = _info(path, prompt)
        name = _name(path)
        if slice is None:
            _call("cannot load %r" % os.fspath(path), lambda: _lib.VX560_LOADDISPLAY(name),
                  prompt)
        else:
            _call("cannot load slice %d of %r" % (slice, os.fspath(path)),
                  lambda: _lib.VX560_LOADWATERFALL(slice, letter, name), prompt)
        x, x_unit = _column(as_saved)
        y, y_unit = _column(request)
    return Trace(x, y, x_unit, y_unit, file_info)


def read_capture(path, *, prompt=None):
    """A Capture file's samples as volts (float32), with its sampling frequency
    in Hz, input range in dBV and record length in kpoints. prompt: answers
    the disk prompts of a file spread over floppies."""
    what = "cannot read %r as a Capture or Arb. Waveform file" % os.fspath(path)
    name = _name(path)
    with _lock:
        needed = ctypes.c_size_t()
        _call(what, lambda: _lib.VX560_READCAPTUREDATA_SIZED(None, 0, name, ctypes.byref(needed)),
              prompt)
        buffer = ctypes.create_string_buffer(needed.value)
        _call(what, lambda: _lib.VX560_READCAPTUREDATA_SIZED(buffer, needed.value, name, None),
              prompt)
    header = _native.CaptureHeader.from_buffer(buffer)
    volts = numpy.frombuffer(buffer, dtype="<f4", count=header.kpoints * 1024,
                             offset=ctypes.sizeof(header)).copy()
    return Capture(volts, float(header.samplingFreq), int(header.inputRange), int(header.kpoints))


def convert(*tokens, prompt=None):
    """Runs a vxconv command line given as separate tokens, for example
    convert("a.56d", "a.mat", "/Omat"); returns its message lines. prompt:
    answers the disk prompts of files spread over floppies."""
    items = [_name(t) for t in tokens]
    array = (ctypes.c_char_p * max(len(items), 1))(*items)
    with _lock:
        return _call("vxconv %s failed" % " ".join(os.fsdecode(t) for t in items),
                     lambda: _lib.VX560_CMDARGS(len(items), array), prompt)


def _name(path):
    """A name or token as the engine takes it; one with a NUL byte is refused
    as open() refuses it, since the engine would see it cut at that byte."""
    name = os.fsencode(path)
    if b"\0" in name:
        raise ValueError("embedded null byte: %r" % name)
    return name


def _choice(what, value, table):
    try:
        return table[value]
    except (KeyError, TypeError):
        choices = ", ".join(repr(k) for k in table)
        raise ValueError("%s must be one of %s, not %r" % (what, choices, value)) from None


def _answering(prompt, raised):
    """The prompt hook of one call: the callback's answer; an exception it
    raises answers no and is kept in `raised`."""
    if prompt is None:
        return _native.PromptHook()  # none: the engine declines every prompt

    def answer(question, _context):
        try:
            return 1 if prompt(question.decode(_TEXT)) else 0
        except BaseException as e:  # raised again when the call returns
            raised.append(e)
            return 0
    return _native.PromptHook(answer)


def _call(what, entry, prompt=None):
    """Runs one entry point with the log file in place; its message lines, or Error."""
    global _calling
    if _calling:
        # From inside a prompt callback: the engine would refuse it.
        raise Error(what, _native.STATUS_BUSY, ["another call is running"])
    del _messages[:]
    # Again before every call: a /E option of convert() moves the engine's log.
    _lib.VX560_SETERRORLOGFILE(_name(_log_file))
    raised = []
    hook = _answering(prompt, raised)
    _lib.VX560_SETPROMPTHOOK(hook, None)
    _calling = True
    try:
        status = entry()
    finally:
        _calling = False
        _lib.VX560_SETPROMPTHOOK(_native.PromptHook(), None)
    if raised:
        raise raised[0]
    lines = list(_messages)
    if status != 0:
        raise Error(what, status, lines)
    return lines


def _info(path, prompt=None):
    record = _native.Info()
    name = _name(path)
    what = "cannot describe %r" % os.fspath(path)
    _call(what, lambda: _lib.VX560_GETINFO(record, name), prompt)
    model = _settings(what, name, prompt)
    stamp = model["identity"]["time"]
    return Info(points=record.points, measurement=record.measurement.decode(_TEXT),
                meas_group=record.measGroup, meas_number=record.measNumber, view=record.view,
                peak_units=record.peakUnits, db_units=record.dbUnits,
                phase_units=record.phaseUnits, x_axis_kind=record.xAxisKind,
                sweep_type=record.sweepType, is_waterfall=bool(record.isWaterfall),
                waterfall_slices=record.waterfallSlices,
                settings=types.MappingProxyType(
                    {s["key"]: Setting(s["label"], s["value"], s["unit"], s["text"])
                     for s in model["settings"]}),
                time=datetime.datetime.fromisoformat(stamp) if stamp else None)


def _settings(what, name, prompt):
    """A file's identity and settings, the JSON text of VX560_GETSETTINGS."""
    needed = ctypes.c_size_t()
    _call(what, lambda: _lib.VX560_GETSETTINGS(None, 0, name, ctypes.byref(needed)), prompt)
    buffer = ctypes.create_string_buffer(needed.value)
    _call(what, lambda: _lib.VX560_GETSETTINGS(buffer, needed.value, name, None), prompt)
    return json.loads(buffer.value.decode("utf-8"))


def _column(request):
    """The loaded trace's values for a request, and their unit text."""
    needed = ctypes.c_size_t()
    what = "cannot read the loaded trace"
    _call(what, lambda: _lib.VX560_READDISPLAYDATA_SIZED(None, 0, request, ctypes.byref(needed)))
    buffer = ctypes.create_string_buffer(needed.value)
    _call(what, lambda: _lib.VX560_READDISPLAYDATA_SIZED(buffer, needed.value, request, None))
    header = _native.DataHeader.from_buffer(buffer)
    values = numpy.frombuffer(buffer, dtype="<f4", count=header.points,
                              offset=ctypes.sizeof(header)).copy()
    return values, header.unit.decode(_TEXT)
