#!/usr/bin/env python3
"""Reads a Display file's trace and a Capture file's volts through libvxcore.

    vxcore_example.py LIBVXCORE DISPLAY_FILE CAPTURE_FILE
"""
import ctypes
import sys


class Info(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                ("points", ctypes.c_uint32), ("measurement", ctypes.c_char * 32),
                ("measGroup", ctypes.c_int16), ("measNumber", ctypes.c_int16),
                ("view", ctypes.c_int16), ("peakUnits", ctypes.c_int16),
                ("dbUnits", ctypes.c_int16), ("phaseUnits", ctypes.c_int16),
                ("xAxisKind", ctypes.c_int16), ("sweepType", ctypes.c_int16),
                ("isWaterfall", ctypes.c_int16), ("waterfallSlices", ctypes.c_int16)]


class DataReq(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [("column", ctypes.c_int16), ("peakUnits", ctypes.c_int16),
                ("dbUnits", ctypes.c_int16), ("phaseUnits", ctypes.c_int16)]


def data_type(n):
    class Data(ctypes.LittleEndianStructure):
        _pack_ = 1
        _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                    ("points", ctypes.c_uint32), ("unit", ctypes.c_char * 32),
                    ("values", ctypes.c_float * n)]
    return Data


def capdata_type(n):
    class CapData(ctypes.LittleEndianStructure):
        _pack_ = 1
        _fields_ = [("length", ctypes.c_uint32), ("version", ctypes.c_uint16),
                    ("kpoints", ctypes.c_uint16), ("samplingFreq", ctypes.c_float),
                    ("inputRange", ctypes.c_int16), ("values", ctypes.c_float * n)]
    return CapData


def load(path):
    lib = ctypes.CDLL(path)
    for name, args in [("VX560_GETINFO", [ctypes.POINTER(Info), ctypes.c_char_p]),
                       ("VX560_LOADDISPLAY", [ctypes.c_char_p]),
                       ("VX560_READDISPLAYDATA", [ctypes.c_void_p, ctypes.POINTER(DataReq)]),
                       ("VX560_READCAPTUREDATA", [ctypes.c_void_p, ctypes.c_char_p])]:
        f = getattr(lib, name)
        f.argtypes = args
        f.restype = ctypes.c_int16
    return lib


def info_of(lib, name):
    info = Info()
    if lib.VX560_GETINFO(ctypes.byref(info), name.encode()) != 0:
        raise SystemExit("cannot describe " + name)
    return info


def read_column(lib, points, column, db=-1):
    data = data_type(points)()
    req = DataReq(column, -1, db, -1)
    if lib.VX560_READDISPLAYDATA(ctypes.byref(data), ctypes.byref(req)) != 0:
        raise SystemExit("cannot read column %d" % column)
    return data


def say(text):
    # Flushed at once, so the library's console lines stay in order with ours.
    print(text, flush=True)


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__)
    lib = load(argv[1])
    info = info_of(lib, argv[2])
    if lib.VX560_LOADDISPLAY(argv[2].encode()) != 0:
        raise SystemExit("cannot load " + argv[2])
    x = read_column(lib, info.points, 7)
    mag = read_column(lib, info.points, 1, db=1)
    say("trace %s: %d points, x in %s, values in %s" % (
        info.measurement.decode(), mag.points, x.unit.decode(), mag.unit.decode()))
    for i in range(min(5, mag.points)):
        say("%.6g %.6g" % (x.values[i], mag.values[i]))

    cap_info = info_of(lib, argv[3])
    cap = capdata_type(cap_info.points)()
    if lib.VX560_READCAPTUREDATA(ctypes.byref(cap), argv[3].encode()) != 0:
        raise SystemExit("cannot read " + argv[3])
    say("capture: %d kpoints at %.6g Hz, range %d dBV" % (
        cap.kpoints, cap.samplingFreq, cap.inputRange))
    for i in range(5):
        say("%.6g V" % cap.values[i])


if __name__ == "__main__":
    main(sys.argv)
