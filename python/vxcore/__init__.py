"""Reads and converts VX560/VX550 analyzer files through libvxcore.

    import vxcore
    t = vxcore.read("meas.56d", "mag", db="db")
    print(t.x_unit, t.y_unit, t.x[:3], t.y[:3])

read() gives a Display, HP SDF or Waterfall trace as numpy arrays with the
values and unit texts of vxconv's ASCII table; read_capture() a Capture
file's samples as volts; info() describes a file (its codes as enums such as
View and FileKind, its settings by key, typed as vxconv /Ojson writes them,
and its time stamp); convert() runs a vxconv command line. Failures raise
vxcore.Error with the engine's status and message lines and a one-line
message; NotFoundError (also a FileNotFoundError), WrongKindError and
DamagedFileError say why. The package prints nothing: convert() returns the
message lines, and the engine's error log goes only where set_log_file() says.

A file spread over floppies asks for its next disk. Each call takes a
`prompt` callback for that: it receives the question ("Please insert disk
number 2"), puts that disk's file at the same path and returns True to go on.
Without one every such question is answered no, and the call fails; the
package never reads standard input.

The engine is one model per process; the package serialises its calls, so
threads may share it. It uses the library the environment variable
VXCORE_LIBRARY names, else the libvxcore it was installed with by cmake, else
the one the dynamic loader finds, else the one in pkg-config's libdir.
"""
from ._codes import (DbUnits, FileKind, MeasGroup, PeakUnits, PhaseUnits, SweepType, View,
                     XAxisKind)
from ._core import (Capture, DamagedFileError, Error, Info, NotFoundError, Setting, Trace,
                    WrongKindError, convert, info, read, read_capture, set_log_file)
from ._file import ComplexData, File, Samples, TraceData, WaterfallData, open
from ._scan import Found, catalog, scan
from ._version import __version__

__all__ = ["Error", "Info", "Setting", "Trace", "Capture", "info", "read", "read_capture", "convert",
           "set_log_file", "__version__", "NotFoundError", "WrongKindError", "DamagedFileError",
           "View", "PeakUnits", "DbUnits", "PhaseUnits", "XAxisKind", "SweepType", "FileKind",
           "MeasGroup", "open", "File", "TraceData", "ComplexData", "Samples", "WaterfallData",
           "Found", "scan", "catalog"]
