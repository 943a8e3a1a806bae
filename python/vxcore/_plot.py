"""Draws a file's trace as the instrument shows it, with matplotlib.

The trace is drawn in the view saved in the file (or the one asked for), in
the units saved, against its x values: the measurement is the title, the axes
are labelled with their units, and the x axis is logarithmic for a log sweep
and for octave bands. Nyquist and Nichols views, which plot one part of a
complex value against another and so lose the x axis, are drawn instead as
two panels over the x values: magnitude above, phase below. Real and
imaginary part views are drawn as one trace, as the instrument shows them.
A Capture file gives its volts (an Arb. Waveform file its fractions of full
scale) against time, a Waterfall file one slice (the first unless asked).
"""
import os
import typing

import numpy

from . import _core
from ._file import _optional
from ._scan import document

# Views as vxcore.h numbers them.
VIEWS = ["Log Mag", "Linear Mag", "Mag^2", "Real Part", "Imag. Part", "Phase", "Unwrp. Phase",
         "Nyquist", "Nichols"]
_LOG_MAG, _NYQUIST, _NICHOLS = 0, 7, 8
# The column that shows each single-trace view in the units saved with the file.
_VIEW_COLUMNS = {0: "mag", 1: "mag", 2: "m2", 3: "r", 4: "i", 5: "p", 6: "up"}
# What the x values are, by x-axis kind of vxcore.h.
_X_NAMES = {-2: "Revolutions", -1: "Time", 1: "Frequency", 2: "Order", 3: "Lag", 5: "Frequency",
            6: "Amplitude", 7: "RPM", 8: "RPM", 9: "Band centre frequency", 11: "Slice"}
_SWEPT_SINE, _LOG_SWEEP, _OCTAVE_AXIS, _CAPTURE_AXIS = 3, 1, 9, 4
_DB_OFF = 0

Path = typing.Union[str, "os.PathLike[str]"]


def plot(path: Path, output: typing.Optional[Path] = None, *, view: typing.Optional[int] = None,
         slice: typing.Optional[int] = None, channel: str = "A") -> typing.Any:
    """The matplotlib Figure of a file's trace, also saved to `output` (the
    format from its extension, PNG for ".png") when given. view: a view
    number of vxcore.h instead of the saved one; slice, channel: the slice
    of a Waterfall file (default the first of channel A)."""
    matplotlib = _optional("matplotlib.figure", "python3-matplotlib")
    info = _core.info(path)
    figure = matplotlib.figure.Figure(figsize=(8, 5))
    if info.x_axis_kind == _CAPTURE_AXIS:
        _draw_samples(figure, path)
        title = info.measurement
    else:
        if info.is_waterfall:
            slice = 0 if slice is None else slice
            if channel.upper() == "A" and not 0 <= slice < info.waterfall_slices:
                raise ValueError("slice %d: the file has slices 0 to %d"
                                 % (slice, info.waterfall_slices - 1))
        else:
            slice = None
        shown = info.view if view is None else view
        if not 0 <= shown < len(VIEWS):
            raise ValueError("view must be 0 to %d, not %r" % (len(VIEWS) - 1, shown))
        _draw_trace(figure, path, info, shown, slice, channel)
        title = "%s: %s" % (info.measurement, VIEWS[shown])
        if slice is not None:
            title += " (slice %d, channel %s)" % (slice, channel.upper())
    figure.suptitle(title)
    if output is not None:
        figure.savefig(os.fspath(output), dpi=100)
    return figure


def _draw_samples(figure: typing.Any, path: Path) -> None:
    capture = _core.read_capture(path)
    time = numpy.arange(len(capture.volts)) / capture.sampling_freq
    ax = figure.subplots()
    ax.plot(time, capture.volts)
    ax.set_xlabel("Time (s)")
    if document(path)["identity"]["kind"] == "Arb. Waveform":
        ax.set_ylabel("Fraction of full scale")
    else:
        ax.set_ylabel("Volts (V)")
    ax.grid(True, alpha=0.4)


def _draw_trace(figure: typing.Any, path: Path, info: _core.Info, view: int,
                slice: typing.Optional[int], channel: str) -> None:
    def read(column: str) -> _core.Trace:
        return _core.read(path, column, slice=slice, channel=channel)

    if view in (_NYQUIST, _NICHOLS):
        panels = [(read("mag"), "Magnitude"), (read("p"), "Phase")]
    else:
        panels = [(read(_VIEW_COLUMNS[view]), VIEWS[view])]
    axes = figure.subplots(len(panels), 1, sharex=True, squeeze=False)[:, 0]
    log_x = ((info.meas_group == _SWEPT_SINE and info.sweep_type == _LOG_SWEEP)
             or info.x_axis_kind == _OCTAVE_AXIS)
    for ax, (trace, name) in zip(axes, panels):
        x, y = trace.x, trace.y
        if log_x:
            # A point at x = 0 (the overall level after the octave bands)
            # has no place on a log axis.
            x, y = x[x > 0], y[x > 0]
            ax.set_xscale("log")
        ax.plot(x, y)
        ax.set_ylabel(_label(name, trace.y_unit))
        if view == _LOG_MAG and info.db_units == _DB_OFF:
            ax.set_yscale("log")
        ax.grid(True, which="both", alpha=0.4)
    axes[-1].set_xlabel(_label(_X_NAMES.get(info.x_axis_kind, "X"), panels[0][0].x_unit))


def _label(name: str, unit: str) -> str:
    return "%s (%s)" % (name, unit) if unit.strip() else name
