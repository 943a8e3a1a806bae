"""The codes of the library's records as enums, with the names and values of
vxcore.h; a member compares equal to its code."""
import enum
import typing


class _Code(enum.IntEnum):
    """A code of vxcore.h. A value the header does not name (a newer library,
    an odd file) becomes a member named UNKNOWN_<value> instead of failing."""

    @classmethod
    def _missing_(cls, value: object) -> typing.Any:
        if not isinstance(value, int):
            return None
        member = int.__new__(cls, value)
        member._name_ = "UNKNOWN_%d" % value
        member._value_ = value
        return member


class MeasGroup(_Code):
    """VX560_GROUP_*: the measure group."""
    FFT = 0
    CORRELATION = 1
    OCTAVE = 2
    SWEPT_SINE = 3
    ORDER = 4
    TIME_HISTOGRAM = 5


class View(_Code):
    """VX560_VIEW_*: the view saved in the file."""
    LOG_MAG = 0
    LINEAR_MAG = 1
    MAG_SQUARED = 2
    REAL = 3
    IMAG = 4
    PHASE = 5
    UNWRAPPED_PHASE = 6
    NYQUIST = 7
    NICHOLS = 8


class PeakUnits(_Code):
    """VX560_PEAK_*."""
    OFF = 0
    PK = 1
    RMS = 2
    PP = 3


class DbUnits(_Code):
    """VX560_DB_*."""
    OFF = 0
    ON = 1
    DBM = 2
    DBSPL = 3


class PhaseUnits(_Code):
    """VX560_PHASE_*."""
    DEG = 0
    RAD = 1


class XAxisKind(_Code):
    """VX560_AXIS_*: what the trace's x values are."""
    ORDER_TIME = -2
    TIME = -1
    NONE = 0
    FREQ = 1
    ORDER_FREQ = 2
    CORRELATION = 3
    CAPTURE = 4
    SWEEP = 5
    HISTOGRAM = 6
    RPM = 7
    TRACK = 8
    OCTAVE = 9
    TIME_SLICE = 11


class SweepType(_Code):
    """A swept sine's spacing (VX560_INFO.sweepType); 0 for other groups."""
    LINEAR = 0
    LOG = 1


class FileKind(_Code):
    """The kind of file, as the settings document's identity names it (`text`)."""
    VX560_DISPLAY = 0
    VX550_DISPLAY = 1
    HP_SDF = 2
    CAPTURE = 3
    ARB_WAVEFORM = 4
    WATERFALL = 5

    @property
    def text(self) -> str:
        return _KIND_TEXTS.get(self, self.name)

    @property
    def described(self) -> str:
        """The kind as a message names a file of it: "a Display file"."""
        article = "an" if self in (FileKind.HP_SDF, FileKind.ARB_WAVEFORM) else "a"
        name = "Display" if self in (FileKind.VX560_DISPLAY, FileKind.VX550_DISPLAY) else self.text
        return "%s %s file" % (article, name)

    @classmethod
    def from_text(cls, text: str) -> "FileKind":
        """The kind an identity's text names; UNKNOWN_-1 for a text not known."""
        for kind, known in _KIND_TEXTS.items():
            if known == text:
                return kind
        return cls(-1)


_KIND_TEXTS = {FileKind.VX560_DISPLAY: "VX560 Display", FileKind.VX550_DISPLAY: "VX550 Display",
               FileKind.HP_SDF: "HP SDF", FileKind.CAPTURE: "Capture",
               FileKind.ARB_WAVEFORM: "Arb. Waveform", FileKind.WATERFALL: "Waterfall"}
