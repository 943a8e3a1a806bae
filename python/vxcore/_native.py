"""libvxcore through ctypes: finding the library, its records and its entry points."""
import ctypes
import os

# Points at a libvxcore.so to use instead of the one installed with the
# package, for example build/libvxcore.so of a build tree.
LIBRARY_VARIABLE = "VXCORE_LIBRARY"

class Info(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                ("points", ctypes.c_uint32), ("measurement", ctypes.c_char * 32),
                ("measGroup", ctypes.c_int16), ("measNumber", ctypes.c_int16),
                ("view", ctypes.c_int16), ("peakUnits", ctypes.c_int16),
                ("dbUnits", ctypes.c_int16), ("phaseUnits", ctypes.c_int16),
                ("xAxisKind", ctypes.c_int16), ("sweepType", ctypes.c_int16),
                ("isWaterfall", ctypes.c_int16), ("waterfallSlices", ctypes.c_int16)]


class DataRequest(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [("column", ctypes.c_int16), ("peakUnits", ctypes.c_int16),
                ("dbUnits", ctypes.c_int16), ("phaseUnits", ctypes.c_int16)]


class DataHeader(ctypes.LittleEndianStructure):
    """VX560_DATA without its values, which follow at offset 42."""
    _pack_ = 1
    _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                ("points", ctypes.c_uint32), ("unit", ctypes.c_char * 32)]


class CaptureHeader(ctypes.LittleEndianStructure):
    """VX560_CAPDATA without its values, which follow at offset 14."""
    _pack_ = 1
    _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                ("kpoints", ctypes.c_uint16), ("samplingFreq", ctypes.c_float),
                ("inputRange", ctypes.c_int16)]


MessageHook = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)
PromptHook = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_char_p, ctypes.c_void_p)

# VX560_STATUS_BUSY: a call made while another runs (from inside a prompt
# callback), refused without a message.
STATUS_BUSY = 41

_SIZE_P = ctypes.POINTER(ctypes.c_size_t)
_PROTOTYPES = {
    "VX560_GETINFO": [ctypes.POINTER(Info), ctypes.c_char_p],
    "VX560_LOADDISPLAY": [ctypes.c_char_p],
    "VX560_LOADWATERFALL": [ctypes.c_int16, ctypes.c_char, ctypes.c_char_p],
    "VX560_READDISPLAYDATA_SIZED": [ctypes.c_void_p, ctypes.c_size_t,
                                    ctypes.POINTER(DataRequest), _SIZE_P],
    "VX560_READCAPTUREDATA_SIZED": [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_char_p, _SIZE_P],
    "VX560_SETERRORLOGFILE": [ctypes.c_char_p],
    "VX560_SETMESSAGEHOOK": [MessageHook, ctypes.c_void_p],
    "VX560_SETPROMPTHOOK": [PromptHook, ctypes.c_void_p],
    "VX560_CMDARGS": [ctypes.c_int, ctypes.POINTER(ctypes.c_char_p)],
    "VX560_GETSETTINGS": [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_char_p, _SIZE_P],
}


# Entry points that return a static text.
_TEXT_PROTOTYPES = {
    "VX560_STRERROR": [ctypes.c_int],
}


def library_path():
    """The library named by VXCORE_LIBRARY, else the one installed with the package."""
    given = os.environ.get(LIBRARY_VARIABLE)
    if given:
        return given
    try:
        from . import _installed
    except ImportError:
        raise ImportError("vxcore: this copy of the package was not installed with a library; "
                          "set %s to libvxcore.so (for example build/libvxcore.so)"
                          % LIBRARY_VARIABLE) from None
    return os.path.normpath(os.path.join(os.path.dirname(__file__), _installed.LIBRARY))


def load():
    """The library with the prototypes of the entry points the package uses."""
    path = library_path()
    try:
        lib = ctypes.CDLL(path)
    except OSError as e:
        raise ImportError("vxcore: cannot load %s: %s" % (path, e)) from None
    for name, args in _PROTOTYPES.items():
        f = getattr(lib, name)
        f.argtypes = args
        f.restype = ctypes.c_int16
    for name, args in _TEXT_PROTOTYPES.items():
        f = getattr(lib, name)
        f.argtypes = args
        f.restype = ctypes.c_char_p
    return lib
