#!/usr/bin/env python3
"""Plots a Display file's trace as the instrument shows it: the view saved in
the file, in its units, against the trace's x values (a log x-axis for a log
sweep and for octave bands), labelled with the unit texts, into a PNG.

    plot_display.py DISPLAY_FILE PNG_FILE

It uses the vxcore package: installed, PYTHONPATH=PREFIX/lib/python3/dist-packages;
in a build tree, PYTHONPATH=python VXCORE_LIBRARY=build/libvxcore.so.
"""
import sys

import matplotlib

matplotlib.use("Agg")  # files only, no display needed
import matplotlib.pyplot as plt  # noqa: E402

import vxcore  # noqa: E402

# Views as vxcore.h numbers them, and the column that shows each one in the
# units saved with the file (Log Mag and Linear Mag differ in those units).
VIEW_NAMES = ["Log Mag", "Linear Mag", "Mag^2", "Real Part", "Imag. Part", "Phase",
              "Unwrp. Phase", "Nyquist", "Nichols"]
VIEW_COLUMNS = {0: "mag", 1: "mag", 2: "m2", 3: "r", 4: "i", 5: "p", 6: "up"}
LOG_MAG, NYQUIST, NICHOLS = 0, 7, 8
SWEPT_SINE, LOG_SWEEP, OCTAVE_AXIS = 3, 1, 9
DB_OFF = 0


def log_x_axis(info):
    """True where the instrument spaces the x-axis logarithmically."""
    return ((info.meas_group == SWEPT_SINE and info.sweep_type == LOG_SWEEP)
            or info.x_axis_kind == OCTAVE_AXIS)


def draw(ax, path, info):
    """Draws the saved view of the file's trace on the axes."""
    if info.view == NYQUIST:  # imaginary against real part
        x, y = vxcore.read(path, "r"), vxcore.read(path, "i")
        ax.plot(x.y, y.y)
        ax.set_xlabel(x.y_unit)
        ax.set_ylabel(y.y_unit)
    elif info.view == NICHOLS:  # magnitude in dB against phase
        x, y = vxcore.read(path, "p"), vxcore.read(path, "mag", db="db")
        ax.plot(x.y, y.y)
        ax.set_xlabel(x.y_unit)
        ax.set_ylabel(y.y_unit)
    else:
        trace = vxcore.read(path, VIEW_COLUMNS[info.view])
        x, y = trace.x, trace.y
        if log_x_axis(info):
            # A point at x = 0 (the overall level after the octave bands)
            # has no place on a log axis.
            x, y = x[x > 0], y[x > 0]
            ax.set_xscale("log")
        ax.plot(x, y)
        ax.set_xlabel(trace.x_unit)
        ax.set_ylabel(trace.y_unit)
        if info.view == LOG_MAG and info.db_units == DB_OFF:
            ax.set_yscale("log")


def plot(path, png):
    info = vxcore.info(path)
    fig, ax = plt.subplots(figsize=(8, 5))
    draw(ax, path, info)
    ax.set_title("%s: %s" % (info.measurement, VIEW_NAMES[info.view]))
    ax.grid(True, which="both", alpha=0.4)
    fig.savefig(png, dpi=100)
    plt.close(fig)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    try:
        plot(sys.argv[1], sys.argv[2])
    except vxcore.Error as e:
        sys.exit("plot_display.py: %s" % e)
