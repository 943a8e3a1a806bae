"""Whole files in one call: vxcore.open() gives a File whose methods hand out
a trace, its complex values, a Capture's samples or a Waterfall's slices as
arrays, and the whole file as an xarray Dataset (the layout of vxconv's
netCDF output) or a pandas DataFrame (the columns of its CSV output)."""
import builtins
import dataclasses
import datetime
import math
import os
import typing

import numpy
import numpy.typing

from . import _core, _native
from ._codes import FileKind

if typing.TYPE_CHECKING:
    import pandas
    import xarray

Float32Array = numpy.typing.NDArray[numpy.float32]
Float64Array = numpy.typing.NDArray[numpy.float64]
Complex128Array = numpy.typing.NDArray[numpy.complex128]
Int32Array = numpy.typing.NDArray[numpy.int32]
PathLike = typing.Union[str, "os.PathLike[str]"]
Prompt = typing.Optional[typing.Callable[[str], bool]]

# The column names of the netCDF variables and of the CSV headers.
_VALUE_NAMES = {"mag": ("magnitude", "Magnitude"), "m2": ("magnitude_squared", "Magnitude squared"),
                "r": ("real", "Real"), "i": ("imaginary", "Imaginary"), "p": ("phase", "Phase"),
                "up": ("unwrapped_phase", "Unwrapped phase")}
# The columns a saved view shows (VX560_VIEW_* to columns): magnitude unless listed.
_VIEW_COLUMNS = {2: ("m2",), 3: ("r",), 4: ("i",), 5: ("p",), 6: ("up",), 7: ("r", "i"),
                 8: ("mag", "p")}
# The x dimension's name and long name by the x-axis kind (VX560_AXIS_*).
_AXIS_NAMES = {1: ("frequency", "Frequency"), 5: ("frequency", "Frequency"),
               9: ("frequency", "Frequency"), 2: ("order", "Order"),
               -2: ("revolutions", "Revolutions"), -1: ("time", "Time"), 3: ("lag", "Lag"),
               6: ("level", "Level"), 7: ("rpm", "RPM"), 8: ("rpm", "RPM"),
               11: ("index", "Index")}
_NO_AXIS = ("x", "X")
# The netCDF title of each file kind (identity.kind).
_TITLES = {"VX560 Display": "VX560 Display trace", "VX550 Display": "VX560 Display trace",
           "HP SDF": "HP SDF trace", "Waterfall": "VX560 Waterfall",
           "Capture": "VX560 Capture buffer", "Arb. Waveform": "VX560 Arb. Waveform buffer"}
# Attributes of the netCDF file itself: a setting of that key takes "setting_" before it.
_OWN_ATTRIBUTES = ("Conventions", "title", "source", "history", "channel", "first_slice",
                   "slice_count", "sampling_rate", "sampling_rate_units", "settings")
_DIMENSIONLESS = "1"  # CF's unit of a ratio
_SAMPLE_KINDS = (FileKind.CAPTURE, FileKind.ARB_WAVEFORM)
_TRACE_KINDS = (FileKind.VX560_DISPLAY, FileKind.VX550_DISPLAY, FileKind.HP_SDF)


@dataclasses.dataclass(frozen=True)
class TraceData:
    """A trace's x values and one column, as float64, with units and names
    ("Frequency", "Hz"; "Magnitude", "dBVpk")."""
    x: Float64Array
    y: Float64Array
    x_unit: str
    y_unit: str
    x_name: str
    y_name: str


@dataclasses.dataclass(frozen=True)
class ComplexData:
    """A trace's complex values (real + 1j imaginary, complex128) against x."""
    x: Float64Array
    values: Complex128Array
    x_unit: str
    unit: str
    x_name: str


@dataclasses.dataclass(frozen=True)
class Samples:
    """A Capture buffer's samples in volts, or an Arb. Waveform buffer's in
    fractions of full scale (unit ""), as the engine gives them: float32.
    `time` is sample i's time i / rate in seconds (float64); `time_stamp`
    the file's, or None."""
    time: Float64Array
    volts: Float32Array
    rate: float
    unit: str
    name: str
    time_stamp: typing.Optional[datetime.datetime]


@dataclasses.dataclass(frozen=True)
class WaterfallData:
    """A Waterfall channel's slices by points (float64). `slices` holds each
    row's slice index: the files store no time or rpm per slice."""
    slices: Int32Array
    x: Float64Array
    values: Float64Array
    x_unit: str
    y_unit: str
    x_name: str
    y_name: str
    channel: str


def open(path: PathLike, *, prompt: Prompt = None) -> "File":  # noqa: A001 (as io.open)
    """A Display, HP SDF, Capture/Arb. Waveform or Waterfall file, described
    at once; its data is read when a method asks for it. prompt: answers
    the disk prompts of a file spread over floppies."""
    return File(path, prompt=prompt)


class File:
    """An analyzer file: `path`, `info` (as vxcore.info gives it), `kind`
    (a FileKind), `measurement`, `time` and `settings`. Used in a `with`
    block, it is closed at the end; after close() every method raises
    ValueError."""

    def __init__(self, path: PathLike, *, prompt: Prompt = None) -> None:
        self.path = os.fspath(path)
        self._prompt = prompt
        with _core._lock:
            self._info: typing.Optional[_core.Info] = _core._info(path, prompt)
            self._settings_text = _settings_text(path, prompt)

    def __enter__(self) -> "File":
        return self

    def __exit__(self, *_exc: object) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self._info is None else repr(self.kind.text)
        return "<vxcore.File %r %s>" % (self.path, state)

    def close(self) -> None:
        """Drops what the File holds."""
        self._info = None
        self._settings_text = ""

    @property
    def info(self) -> _core.Info:
        self._require_open()
        assert self._info is not None
        return self._info

    @property
    def kind(self) -> FileKind:
        return self.info.kind

    @property
    def measurement(self) -> str:
        return self.info.measurement

    @property
    def time(self) -> typing.Optional[datetime.datetime]:
        return self.info.time

    @property
    def settings(self) -> typing.Mapping[str, _core.Setting]:
        return self.info.settings

    def trace(self, column: str = "mag", *, peak: typing.Optional[str] = None,
              db: typing.Optional[str] = None, phase: typing.Optional[str] = None) -> TraceData:
        """The x values and one column ("mag", "m2", "r", "i", "p", "up") in
        the given units (None: as saved; see vxcore.read), loading the
        trace once."""
        self._expect(_TRACE_KINDS, "trace")
        x, (y,) = self._load([column], peak, db, phase)
        return TraceData(x.values, y.values, x.unit, y.unit, x.name, y.name)

    def complex(self, *, peak: typing.Optional[str] = None) -> ComplexData:
        """The complex values, real + 1j imaginary, in one loading."""
        self._expect(_TRACE_KINDS, "complex")
        x, (re, im) = self._load(["r", "i"], peak, None, None)
        return ComplexData(x.values, re.values + 1j * im.values, x.unit, re.unit, x.name)

    def samples(self) -> Samples:
        """A Capture or Arb. Waveform file's samples with their time axis."""
        self._expect(_SAMPLE_KINDS, "samples")
        capture = _core.read_capture(self.path, prompt=self._prompt)
        rate = capture.sampling_freq
        time = numpy.arange(len(capture.volts), dtype=numpy.float64) / rate
        _, name, unit = self._sample_variable()
        return Samples(time, capture.volts, rate, "" if unit == _DIMENSIONLESS else unit, name,
                       self.time)

    def waterfall(self, channel: str = "A", *, column: str = "mag",
                  peak: typing.Optional[str] = None, db: typing.Optional[str] = None,
                  phase: typing.Optional[str] = None) -> WaterfallData:
        """Every slice of a Waterfall channel ("A" or "B") as one row of a
        two-dimensional array, read under one hold of the engine."""
        self._expect((FileKind.WATERFALL,), "waterfall")
        letter = str(channel).upper()
        x, columns = self._load_slices(letter, [column], peak, db, phase)
        (y,) = columns
        return WaterfallData(numpy.arange(len(y.values), dtype=numpy.int32), x.values, y.values,
                             x.unit, y.unit, x.name, y.name, letter)

    def to_xarray(self, channel: str = "A") -> "xarray.Dataset":
        """The file as the xarray Dataset of `vxconv FILE /Onc` (a Waterfall:
        its `channel`): the same dimensions, coordinates, variables, units
        and attributes, the settings among them. It has no "history": no
        vxconv run made it."""
        xr = _optional("xarray", "python3-xarray")
        attrs = self._global_attributes()
        coords: typing.Dict[str, typing.Any]
        data: typing.Dict[str, typing.Any]
        if self.kind in _SAMPLE_KINDS:
            coords, data = self._samples_variables(attrs)
        elif self.kind == FileKind.WATERFALL:
            letter = str(channel).upper()
            x, columns = self._load_slices(letter, self._view_columns(), None, None, None)
            count = len(columns[0].values)
            attrs.update(first_slice=numpy.int32(0), slice_count=numpy.int32(count),
                         channel=letter)
            coords = {x.dimension: x.variable(),
                      "slice": ("slice", numpy.arange(count, dtype=numpy.int32),
                                {"units": _DIMENSIONLESS, "long_name": "Slice index"})}
            data = {c.dimension: (("slice", x.dimension), c.float32(), c.attributes())
                    for c in columns}
        else:
            x, columns = self._load(self._view_columns(), None, None, None)
            coords = {x.dimension: x.variable()}
            data = {c.dimension: ((x.dimension,), c.float32(), c.attributes()) for c in columns}
        return typing.cast("xarray.Dataset", xr.Dataset(data, coords=coords, attrs=attrs))

    def to_pandas(self, channel: str = "A") -> "pandas.DataFrame":
        """The file as a DataFrame with the columns of `vxconv FILE /Ocsv`,
        named with their units ("Magnitude (dBVpk)"): a trace indexed by x
        ("Frequency (Hz)"; float64), a Capture by "Time (s)" (volts float32).
        A Waterfall channel is in the CSV's long form: one row per slice and
        point, indexed by ("Slice", x)."""
        pandas = _optional("pandas", "python3-pandas")
        if self.kind in _SAMPLE_KINDS:
            s = self.samples()
            return pandas.DataFrame({_csv_name(s.name, s.unit): s.volts},
                                    index=pandas.Index(s.time, name="Time (s)"))
        if self.kind == FileKind.WATERFALL:
            x, columns = self._load_slices(str(channel).upper(), self._view_columns(), None,
                                           None, None)
            count, points = columns[0].values.shape
            index = pandas.MultiIndex.from_arrays(
                [numpy.repeat(numpy.arange(count, dtype=numpy.int32), points),
                 numpy.tile(x.values, count)], names=["Slice", x.header()])
            return pandas.DataFrame({c.header(): c.values.ravel() for c in columns}, index=index)
        x, columns = self._load(self._view_columns(), None, None, None)
        return pandas.DataFrame({c.header(): c.values for c in columns},
                                index=pandas.Index(x.values, name=x.header()))

    # ------------------------------------------------------------ reading

    def _require_open(self) -> None:
        if self._info is None:
            raise ValueError("I/O operation on closed file %r" % self.path)

    def _expect(self, kinds: typing.Sequence[FileKind], method: str) -> None:
        """Refuses a method on a file of another kind, saying which method fits."""
        if self.kind in kinds:
            return
        fits = ("samples()" if self.kind in _SAMPLE_KINDS else
                "waterfall()" if self.kind == FileKind.WATERFALL else "trace()")
        raise _core.WrongKindError("cannot read %r with %s()" % (self.path, method), 1, [],
                                   "%r is %s: use %s" % (self.path, self.kind.described, fits))

    def _load(self, keys: typing.Sequence[str], peak: typing.Optional[str],
              db: typing.Optional[str], phase: typing.Optional[str]
              ) -> typing.Tuple["_Column", typing.List["_Column"]]:
        """x and the columns of the trace, loaded once."""
        requests = _requests(keys, peak, db, phase)
        name = _core._name(self.path)
        with _core._lock:
            _core._call("cannot load %r" % self.path, lambda: _core._lib.VX560_LOADDISPLAY(name),
                        self._prompt)
            return self._read_loaded(keys, requests)

    def _load_slices(self, letter: str, keys: typing.Sequence[str], peak: typing.Optional[str],
                     db: typing.Optional[str], phase: typing.Optional[str]
                     ) -> typing.Tuple["_Column", typing.List["_Column"]]:
        """x and the columns of every slice of a channel, stacked as rows;
        the engine holds one slice at a time, so the lock is held throughout."""
        code = _core._choice("channel", letter.lower(), _core._CHANNELS)
        requests = _requests(keys, peak, db, phase)
        name = _core._name(self.path)
        rows: typing.List[typing.List[_Column]] = []
        x: typing.Optional[_Column] = None
        with _core._lock:
            for s in range(self.info.waterfall_slices):
                _core._call("cannot load slice %d of %r" % (s, self.path),
                            lambda: _core._lib.VX560_LOADWATERFALL(s, code, name), self._prompt)
                slice_x, columns = self._read_loaded(keys, requests)
                if x is None:
                    x = slice_x
                elif len(slice_x.values) != len(x.values):
                    raise _core.Error("cannot load slice %d of %r" % (s, self.path), 26,
                                      ["slice %d has %d points, slice 0 %d" %
                                       (s, len(slice_x.values), len(x.values))])
                rows.append(columns)
        if x is None:
            raise _core.Error("cannot read %r" % self.path, 1, ["the Waterfall has no slices"])
        stacked = [dataclasses.replace(first, values=numpy.vstack([r[k].values for r in rows]))
                   for k, first in enumerate(rows[0])]
        return x, stacked

    def _read_loaded(self, keys: typing.Sequence[str],
                     requests: typing.Sequence[_native.DataRequest]
                     ) -> typing.Tuple["_Column", typing.List["_Column"]]:
        """x (as saved) and the requested columns of the loaded trace."""
        values, unit = _core._column(_native.DataRequest(_core._COLUMNS["x"], -1, -1, -1))
        dimension, long_name = _AXIS_NAMES.get(self.info.x_axis_kind, _NO_AXIS)
        x = _Column(values.astype(numpy.float64), unit, dimension, long_name)
        columns = []
        for key, request in zip(keys, requests):
            values, unit = _core._column(request)
            columns.append(_Column(values.astype(numpy.float64), unit, *_VALUE_NAMES[key]))
        return x, columns

    def _view_columns(self) -> typing.List[str]:
        """The columns vxconv writes by default: those of the saved view."""
        return list(_VIEW_COLUMNS.get(self.info.view, ("mag",)))

    # ------------------------------------------------------------ netCDF layout

    def _global_attributes(self) -> typing.Dict[str, typing.Any]:
        attrs: typing.Dict[str, typing.Any] = {
            "Conventions": "CF-1.8", "title": _TITLES.get(self.kind.text, ""), "source": self.path}
        for key, setting in self.settings.items():
            if any(key in (own, own + "_units") for own in _OWN_ATTRIBUTES):
                key = "setting_" + key
            value = setting.value
            if isinstance(value, bool):
                attrs[key] = numpy.int32(value)
            elif isinstance(value, str):
                attrs[key] = value
            else:  # a number; JSON's null is a value that is not one
                attrs[key] = math.nan if value is None else float(value)
                if setting.unit:
                    attrs[key + "_units"] = setting.unit
        attrs["settings"] = self._settings_text
        return attrs

    def _sample_variable(self) -> typing.Tuple[str, str, str]:
        """The name, long name and unit of a buffer's samples."""
        if self.kind == FileKind.ARB_WAVEFORM:
            return "source", "Source (fraction of full scale)", _DIMENSIONLESS
        channel = _capture_channel(self.path)
        return "channel_%d" % channel, "Channel %d" % channel, "V"

    def _samples_variables(self, attrs: typing.Dict[str, typing.Any]
                           ) -> typing.Tuple[typing.Dict[str, typing.Any],
                                             typing.Dict[str, typing.Any]]:
        """The time coordinate and the samples' variable; the rate joins `attrs`."""
        s = self.samples()
        name, long_name, unit = self._sample_variable()
        attrs.update(sampling_rate=s.rate, sampling_rate_units="Hz")
        coords = {"time": ("time", s.time, {"units": "s", "long_name": "Time"})}
        data = {name: ("time", s.volts, {"units": unit, "long_name": long_name})}
        return coords, data


@dataclasses.dataclass(frozen=True)
class _Column:
    """Values with their unit text, netCDF name and long name."""
    values: Float64Array
    unit: str
    dimension: str
    name: str

    def float32(self) -> Float32Array:
        """The values as the engine and the netCDF file hold them."""
        return self.values.astype(numpy.float32)

    def attributes(self) -> typing.Dict[str, str]:
        return {"units": self.unit or _DIMENSIONLESS, "long_name": self.name}

    def variable(self) -> typing.Tuple[str, Float32Array, typing.Dict[str, str]]:
        return (self.dimension, self.float32(), self.attributes())

    def header(self) -> str:
        return _csv_name(self.name, self.unit)


def _csv_name(name: str, unit: str) -> str:
    """"name (unit)", or the name alone when the unit is empty or the name itself."""
    return name if not unit or unit == name else "%s (%s)" % (name, unit)


def _requests(keys: typing.Sequence[str], peak: typing.Optional[str], db: typing.Optional[str],
              phase: typing.Optional[str]) -> typing.List[_native.DataRequest]:
    units = (_core._choice("peak", peak, _core._PEAK), _core._choice("db", db, _core._DB),
             _core._choice("phase", phase, _core._PHASE))
    for key in keys:
        if key not in _VALUE_NAMES:
            _core._choice("column", key, {k: None for k in _VALUE_NAMES})
    return [_native.DataRequest(_core._COLUMNS[key], *units) for key in keys]


def _settings_text(path: PathLike, prompt: Prompt) -> str:
    """The file's identity and settings, the JSON text of VX560_GETSETTINGS as
    vxconv's netCDF output stores it."""
    return _core._settings_text(path, "cannot describe %r" % os.fspath(path), _core._name(path),
                                prompt)


# Where a Capture file keeps the channel it captured, which the library does
# not report: the kind word after the 26-byte capture header, in the first
# checked block, behind the 20-byte multi-disk header and the 23-byte tag.
_CAPTURE_TAG = b"VX560 Cap/Arb File\x1av1\x01\x00"
_TAG_AT = 20
_KIND_AT = _TAG_AT + len(_CAPTURE_TAG) + 4 + 26


def _capture_channel(path: PathLike) -> int:
    """1 or 2: the channel of a Capture file the engine has read."""
    with builtins.open(path, "rb") as f:
        head = f.read(_KIND_AT + 2)
    if len(head) < _KIND_AT + 2 or head[_TAG_AT:_TAG_AT + len(_CAPTURE_TAG)] != _CAPTURE_TAG:
        raise _core.Error("cannot read %r" % os.fspath(path), 26,
                          ["the channel of the Capture buffer is not where it belongs"])
    return 2 if int.from_bytes(head[_KIND_AT:_KIND_AT + 2], "little") == 1 else 1


def _optional(module: str, package: str) -> typing.Any:
    """A module of an optional package, or ImportError naming its Debian package."""
    try:
        return __import__(module)
    except ImportError as e:
        raise ImportError("vxcore: this needs the %s module (Debian: %s): %s"
                          % (module, package, e)) from e
