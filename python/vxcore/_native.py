"""libvxcore through ctypes: finding the library, its records and its entry points."""
import ctypes
import importlib
import os
import subprocess
import typing

from ._version import __version__

# Points at a libvxcore.so to use instead of the one installed with the
# package, for example build/libvxcore.so of a build tree.
LIBRARY_VARIABLE = "VXCORE_LIBRARY"
# The library by its soname, as the dynamic loader finds it.
SONAME = "libvxcore.so.%s" % __version__.split(".")[0]

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


# Hook types; called without a function, each makes the NULL hook.
MessageHook: typing.Any = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)
PromptHook: typing.Any = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_char_p, ctypes.c_void_p)

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


def _loaded(path: str, tried: typing.List[str]) -> typing.Optional[ctypes.CDLL]:
    """The library at `path`, or None with the reason noted in `tried`."""
    try:
        return ctypes.CDLL(path)
    except OSError as e:
        tried.append("%s (%s)" % (path, e))
        return None


def _installed_path() -> typing.Optional[str]:
    """The library cmake --install put beside this package, if it did."""
    try:
        installed = importlib.import_module("._installed", __package__)
    except ImportError:
        return None
    return os.path.normpath(os.path.join(os.path.dirname(__file__), str(installed.LIBRARY)))


def _pkg_config_libdir() -> typing.Tuple[typing.Optional[str], str]:
    """pkg-config's libdir of vxcore, or None with the reason."""
    try:
        done = subprocess.run(["pkg-config", "--variable=libdir", "vxcore"],
                              capture_output=True, text=True, stdin=subprocess.DEVNULL,
                              timeout=30, check=False)
    except (OSError, subprocess.SubprocessError) as e:
        return None, "pkg-config: %s" % e
    libdir = done.stdout.strip()
    if done.returncode != 0 or not libdir:
        return None, "pkg-config knows no vxcore"
    return libdir, ""


def _find() -> ctypes.CDLL:
    """libvxcore from the first place that has it: VXCORE_LIBRARY, the library
    installed beside the package, the dynamic loader's search by soname, then
    pkg-config's libdir."""
    given = os.environ.get(LIBRARY_VARIABLE)
    if given:
        try:
            return ctypes.CDLL(given)
        except OSError as e:
            raise ImportError("vxcore: cannot load %s (from %s): %s"
                              % (given, LIBRARY_VARIABLE, e)) from None
    tried = ["%s: not set" % LIBRARY_VARIABLE]
    installed = _installed_path()
    if installed is None:
        tried.append("no library installed with the package")
    else:
        lib = _loaded(installed, tried)
        if lib is not None:
            return lib
    lib = _loaded(SONAME, tried)
    if lib is not None:
        return lib
    libdir, why = _pkg_config_libdir()
    if libdir is None:
        tried.append(why)
    else:
        lib = _loaded(os.path.join(libdir, SONAME), tried)
        if lib is not None:
            return lib
    raise ImportError("vxcore: libvxcore not found; tried %s. Set %s to libvxcore.so, or "
                      "PKG_CONFIG_PATH to the lib/pkgconfig folder of its install"
                      % ("; ".join(tried), LIBRARY_VARIABLE))


def load() -> ctypes.CDLL:
    """The library with the prototypes of the entry points the package uses."""
    lib = _find()
    for name, args in _PROTOTYPES.items():
        f = getattr(lib, name)
        f.argtypes = args
        f.restype = ctypes.c_int16
    for name, args in _TEXT_PROTOTYPES.items():
        f = getattr(lib, name)
        f.argtypes = args
        f.restype = ctypes.c_char_p
    return lib
