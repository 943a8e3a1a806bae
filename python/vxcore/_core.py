"""The engine's calls: one lock, the message and prompt hooks, and the
functions and records the package exports."""
import ctypes
import dataclasses
import datetime
import errno
import json
import os
import threading
import types
import typing

import numpy
import numpy.typing

from . import _native
from ._codes import DbUnits, FileKind, MeasGroup, PeakUnits, PhaseUnits, SweepType, View, XAxisKind

# A file name as open() takes it.
FileName = typing.Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
# Answers a disk prompt: True once the next disk's file is in place.
Prompt = typing.Optional[typing.Callable[[str], object]]
Values = numpy.typing.NDArray[numpy.float32]
_T = typing.TypeVar("_T")

_COLUMNS = {"mag": 1, "m2": 2, "r": 3, "i": 4, "p": 5, "up": 6, "x": 7}
_X_COLUMN = 7
_PEAK = {None: -1, "off": 0, "pk": 1, "rms": 2, "pp": 3}
_DB = {None: -1, "off": 0, "db": 1, "dbm": 2, "dbspl": 3}
_PHASE = {None: -1, "deg": 0, "rad": 1}
_CHANNELS = {"a": b"A", "b": b"B"}
_MAX_SLICE = 2048  # the engine's highest waterfall index
_TEXT = "latin-1"  # the engine's texts are 8-bit
_STATUS_FAILED = 1
_STATUS_READ_ERROR = 2
_STATUS_BAD_FILE = 26
# The beginnings of the engine's messages about a damaged file.
_DAMAGE_MESSAGES = ("Invalid file format", "Invalid checksum", "Invalid file version",
                    "File Read Error", "Error reading", "Invalid header", "Invalid Ascii Data",
                    "Out of sequence")


class Error(Exception):
    """A call the engine refused: `status` is its status, `messages` its message lines.
    str() is one line: what failed and why (without message lines, the
    library's text of the status)."""

    def __init__(self, what: str, status: int, messages: typing.Iterable[str],
                 reason: typing.Optional[str] = None) -> None:
        self.status = status
        self.messages = list(messages)
        if reason is not None:
            text = reason
        elif self.messages:
            text = "%s: %s" % (what, "; ".join(self.messages))
        else:
            text = "%s: %s (status %d)" % (what, _status_text(status), status)
        self._args = (what, status, self.messages, reason)
        self._text = " ".join(text.split("\n"))
        super().__init__(self._text)

    def __str__(self) -> str:
        return self._text

    def __reduce__(self) -> typing.Tuple[typing.Any, ...]:
        # Kept whole across processes (a worker's failure reaches its caller).
        return (type(self), self._args)


class NotFoundError(Error, FileNotFoundError):
    """The file does not exist (also a FileNotFoundError: errno ENOENT, `filename`);
    the first argument is the file's name."""

    def __init__(self, what: str, status: int, messages: typing.Iterable[str],
                 reason: typing.Optional[str] = None) -> None:
        super().__init__(what, status, messages, reason)
        self.errno = errno.ENOENT
        self.strerror = os.strerror(errno.ENOENT)
        self.filename = what


class WrongKindError(Error):
    """The file is of a kind the call does not read; the message names the call that does."""


class DamagedFileError(Error):
    """The file is damaged or cannot be read as the kind it claims to be."""


@dataclasses.dataclass(frozen=True)
class Setting:
    """One setting of a file: its header label and text as vxconv /H2 prints
    them, and the value typed (a number in the SI base unit of `unit`, True
    or False for a switch, else the choice's text)."""
    label: str
    value: typing.Union[float, bool, str, None]
    unit: typing.Optional[str]
    text: str


@dataclasses.dataclass(frozen=True)
class Info:
    """A file as VX560_GETINFO describes it (codes as enums of vxcore.h's),
    with its settings by key, its time stamp (None when the file has none)
    and its kind."""
    points: int
    measurement: str
    meas_group: MeasGroup
    meas_number: int
    view: View
    peak_units: PeakUnits
    db_units: DbUnits
    phase_units: PhaseUnits
    x_axis_kind: XAxisKind
    sweep_type: SweepType
    is_waterfall: bool
    waterfall_slices: int
    settings: typing.Mapping[str, Setting]
    time: typing.Optional[datetime.datetime]
    kind: FileKind


@dataclasses.dataclass(frozen=True)
class Trace:
    """One column of a trace against its x values, with the headings' unit texts."""
    x: Values
    y: Values
    x_unit: str
    y_unit: str
    info: Info


@dataclasses.dataclass(frozen=True)
class Capture:
    """A Capture file's samples in volts (an Arb. Waveform file's in fractions of full scale)."""
    volts: Values
    sampling_freq: float
    input_range: int
    kpoints: int


_lib = _native.load()
_lock = threading.RLock()
_messages: typing.List[str] = []  # the message lines of the call in progress
_log_file = os.devnull
_calling = False  # an entry point runs: a prompt callback cannot call another


def _collect_line(line: bytes, _context: typing.Optional[int]) -> None:
    _messages.append(line.decode(_TEXT))


_collect = _native.MessageHook(_collect_line)


_lib.VX560_SETMESSAGEHOOK(_collect, None)


def set_log_file(path: typing.Optional[FileName] = None) -> None:
    """Sends the engine's error log to `path` (appended to; vxconv's default is
    qrblog.txt in the current folder); None keeps no log."""
    global _log_file
    # Absolute, so that the log stays where it was asked for when the caller
    # changes folder.
    name = os.devnull if path is None else os.path.abspath(os.fsdecode(path))
    with _lock:
        status = _lib.VX560_SETERRORLOGFILE(_name(name))
        if status != 0:
            raise Error("cannot open log file %r" % name, status, [])
        _log_file = name


def info(path: FileName, *, prompt: Prompt = None) -> Info:
    """Describes a Display, HP SDF, Capture/Arb. Waveform or Waterfall file."""
    with _lock:
        return _info(path, prompt)


def read(path: FileName, column: str = "mag", *, peak: typing.Optional[str] = None,
         db: typing.Optional[str] = None, phase: typing.Optional[str] = None,
         slice: typing.Optional[int] = None, channel: str = "A", prompt: Prompt = None) -> Trace:
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
            what = "cannot load %r" % _shown(path)
            _refuse_kind(what, path, file_info.kind, _TRACE_KINDS, "read()")
            _call_on(path, what, lambda: _lib.VX560_LOADDISPLAY(name), prompt)
        else:
            what = "cannot load slice %d of %r" % (slice, _shown(path))
            _refuse_kind(what, path, file_info.kind, {FileKind.WATERFALL}, "read() with slice=")
            _call_on(path, what, lambda: _lib.VX560_LOADWATERFALL(slice, letter, name), prompt)
        x, x_unit = _column(as_saved)
        y, y_unit = _column(request)
    return Trace(x, y, x_unit, y_unit, file_info)


def read_capture(path: FileName, *, prompt: Prompt = None) -> Capture:
    """A Capture file's samples as volts (float32), with its sampling frequency
    in Hz, input range in dBV and record length in kpoints. prompt: answers
    the disk prompts of a file spread over floppies."""
    what = "cannot read %r as a Capture or Arb. Waveform file" % _shown(path)
    name = _name(path)
    with _lock:
        needed = ctypes.c_size_t()
        try:
            _call_on(path, what, lambda: _lib.VX560_READCAPTUREDATA_SIZED(
                None, 0, name, ctypes.byref(needed)), prompt)
        except Error as failed:
            if type(failed) is Error:  # refused without saying why: see what the file is
                _refuse_kind(what, path, _kind_of(path), _CAPTURE_KINDS, "read_capture()")
            raise
        buffer = ctypes.create_string_buffer(needed.value)
        _call_on(path, what, lambda: _lib.VX560_READCAPTUREDATA_SIZED(
            buffer, needed.value, name, None), prompt)
    header = _native.CaptureHeader.from_buffer(buffer)
    volts = numpy.frombuffer(memoryview(buffer), dtype="<f4", count=header.kpoints * 1024,
                             offset=ctypes.sizeof(header)).copy()
    return Capture(volts, float(header.samplingFreq), int(header.inputRange), int(header.kpoints))


def convert(*tokens: FileName, prompt: Prompt = None) -> typing.List[str]:
    """Runs a vxconv command line given as separate tokens, for example
    convert("a.56d", "a.mat", "/Omat"); returns its message lines. prompt:
    answers the disk prompts of files spread over floppies."""
    items = [_name(t) for t in tokens]
    array = (ctypes.c_char_p * max(len(items), 1))(*items)
    with _lock:
        return _call("vxconv %s failed" % " ".join(os.fsdecode(t) for t in items),
                     lambda: _lib.VX560_CMDARGS(len(items), array), prompt)


def _name(path: FileName) -> bytes:
    """A name or token as the engine takes it; one with a NUL byte is refused
    as open() refuses it, since the engine would see it cut at that byte."""
    name = os.fsencode(path)
    if b"\0" in name:
        raise ValueError("embedded null byte: %r" % name)
    return name


def _choice(what: str, value: typing.Optional[str], table: typing.Mapping[typing.Any, _T]) -> _T:
    try:
        return table[value]
    except (KeyError, TypeError):
        choices = ", ".join(repr(k) for k in table)
        raise ValueError("%s must be one of %s, not %r" % (what, choices, value)) from None


def _answering(prompt: Prompt, raised: typing.List[BaseException]) -> typing.Any:
    """The prompt hook of one call: the callback's answer; an exception it
    raises answers no and is kept in `raised`."""
    if prompt is None:
        return _native.PromptHook()  # none: the engine declines every prompt
    ask = prompt

    def answer(question: bytes, _context: typing.Optional[int]) -> int:
        try:
            return 1 if ask(question.decode(_TEXT)) else 0
        except BaseException as e:  # raised again when the call returns
            raised.append(e)
            return 0
    return _native.PromptHook(answer)


def _call(what: str, entry: typing.Callable[[], typing.Any],
          prompt: Prompt = None) -> typing.List[str]:
    """Runs one entry point with the log file in place; its message lines, or Error."""
    global _calling
    if _calling:
        # From inside a prompt callback: the engine would refuse it.
        raise Error(what, _native.STATUS_BUSY, ["another call is running"])
    del _messages[:]
    # Again before every call: a /E option of convert() moves the engine's log.
    _lib.VX560_SETERRORLOGFILE(_name(_log_file))
    raised: typing.List[BaseException] = []
    hook = _answering(prompt, raised)
    _lib.VX560_SETPROMPTHOOK(hook, None)
    _calling = True
    try:
        status = int(entry())
    finally:
        _calling = False
        _lib.VX560_SETPROMPTHOOK(_native.PromptHook(), None)
    if raised:
        raise raised[0]
    lines = list(_messages)
    if status != 0:
        raise Error(what, status, lines)
    return lines


def _info(path: FileName, prompt: Prompt = None) -> Info:
    record = _native.Info()
    name = _name(path)
    what = "cannot describe %r" % _shown(path)
    _call_on(path, what, lambda: _lib.VX560_GETINFO(record, name), prompt)
    model = _settings(path, what, name, prompt)
    identity = model["identity"]
    stamp = identity["time"]
    return Info(points=record.points, measurement=record.measurement.decode(_TEXT),
                meas_group=MeasGroup(record.measGroup), meas_number=record.measNumber,
                view=View(record.view), peak_units=PeakUnits(record.peakUnits),
                db_units=DbUnits(record.dbUnits), phase_units=PhaseUnits(record.phaseUnits),
                x_axis_kind=XAxisKind(record.xAxisKind), sweep_type=SweepType(record.sweepType),
                is_waterfall=bool(record.isWaterfall), waterfall_slices=record.waterfallSlices,
                settings=types.MappingProxyType(
                    {s["key"]: Setting(s["label"], s["value"], s["unit"], s["text"])
                     for s in model["settings"]}),
                time=datetime.datetime.fromisoformat(stamp) if stamp else None,
                kind=FileKind.from_text(identity["kind"]))


def _settings_text(path: FileName, what: str, name: bytes, prompt: Prompt) -> str:
    """A file's identity and settings, the JSON text of VX560_GETSETTINGS."""
    needed = ctypes.c_size_t()
    _call_on(path, what, lambda: _lib.VX560_GETSETTINGS(None, 0, name, ctypes.byref(needed)),
             prompt)
    buffer = ctypes.create_string_buffer(needed.value)
    _call_on(path, what, lambda: _lib.VX560_GETSETTINGS(buffer, needed.value, name, None), prompt)
    return buffer.value.decode("utf-8")


def _settings(path: FileName, what: str, name: bytes, prompt: Prompt) -> typing.Any:
    """A file's identity and settings, parsed."""
    return json.loads(_settings_text(path, what, name, prompt))


_TRACE_KINDS = {FileKind.VX560_DISPLAY, FileKind.VX550_DISPLAY, FileKind.HP_SDF}
_CAPTURE_KINDS = {FileKind.CAPTURE, FileKind.ARB_WAVEFORM}
# The call that reads each kind, for the message that refuses another call.
_READER_OF = {FileKind.CAPTURE: "read_capture()", FileKind.ARB_WAVEFORM: "read_capture()",
              FileKind.WATERFALL: "read() with slice="}


def _shown(path: FileName) -> str:
    return os.fsdecode(path)


def _call_on(path: FileName, what: str, entry: typing.Callable[[], typing.Any],
             prompt: Prompt = None) -> typing.List[str]:
    """_call for an entry point that reads the file `path`; a failure raises
    NotFoundError for a missing file, DamagedFileError for a damaged one."""
    try:
        return _call(what, entry, prompt)
    except Error as failed:
        if type(failed) is not Error:
            raise
        if not _exists(path):
            raise NotFoundError(_shown(path), failed.status, failed.messages,
                                "%r does not exist" % _shown(path)) from None
        if failed.status in (_STATUS_READ_ERROR, _STATUS_BAD_FILE) or any(
                line.startswith(_DAMAGE_MESSAGES) for line in failed.messages):
            raise DamagedFileError(what, failed.status, failed.messages) from None
        raise


def _exists(path: FileName) -> bool:
    """Whether the engine finds the file: as named, or (as it resolves names)
    with any component in another case."""
    name = os.fsdecode(path)
    if os.path.lexists(name):
        return True
    folder = os.sep if os.path.isabs(name) else os.curdir
    for part in [p for p in name.split(os.sep) if p]:
        if part in (os.curdir, os.pardir):
            folder = os.path.join(folder, part)
            continue
        try:
            entries = os.listdir(folder)
        except OSError:
            return False
        found = [e for e in entries if e == part] or [e for e in entries
                                                      if e.lower() == part.lower()]
        if not found:
            return False
        folder = os.path.join(folder, found[0])
    return True


def _kind_of(path: FileName) -> typing.Optional[FileKind]:
    """The kind of a file that a call refused, None when it cannot be described;
    a damaged file raises DamagedFileError."""
    try:
        return _info(path).kind
    except DamagedFileError:
        raise
    except Error:
        return None


def _refuse_kind(what: str, path: FileName, kind: typing.Optional[FileKind],
                 wanted: typing.Collection[FileKind], call: str) -> None:
    """Raises WrongKindError when a file's known kind is not one `call` reads."""
    if kind is None or kind in wanted or kind.name.startswith("UNKNOWN"):
        return
    reader = _READER_OF.get(kind, "read()")
    if reader == "read()" and call == "read() with slice=":
        reader = "read() without slice="
    raise WrongKindError(what, _STATUS_FAILED, [],
                         "%r is %s: use %s" % (_shown(path), kind.described, reader))


def _status_text(status: int) -> str:
    return typing.cast(bytes, _lib.VX560_STRERROR(status)).decode(_TEXT)


def _column(request: _native.DataRequest) -> typing.Tuple[Values, str]:
    """The loaded trace's values for a request, and their unit text."""
    needed = ctypes.c_size_t()
    what = "cannot read the loaded trace"
    _call(what, lambda: _lib.VX560_READDISPLAYDATA_SIZED(None, 0, request, ctypes.byref(needed)))
    buffer = ctypes.create_string_buffer(needed.value)
    _call(what, lambda: _lib.VX560_READDISPLAYDATA_SIZED(buffer, needed.value, request, None))
    header = _native.DataHeader.from_buffer(buffer)
    values = numpy.frombuffer(memoryview(buffer), dtype="<f4", count=header.points,
                              offset=ctypes.sizeof(header)).copy()
    return values, header.unit.decode(_TEXT)
