"""A look at a file before converting it:

    python3 -m vxcore info FILE [--json]
    python3 -m vxcore plot FILE -o trace.png [--slice N] [--channel A|B] [--view V]

A missing or refused file ends the command with status 1 and one line on
standard error; a reader that goes away (`| head`) ends it quietly with
status 141, as a shell tool ended by SIGPIPE."""
import argparse
import json
import os
import signal
import stat
import sys
import typing

from . import _core
from ._plot import VIEWS, plot
from ._scan import document

_PROGRAM = "python3 -m vxcore"


def main(argv: typing.Optional[typing.Sequence[str]] = None) -> int:
    """Runs the command line `argv` (default sys.argv[1:]); the exit status."""
    args = _parser().parse_args(argv)
    try:
        _check_file(args.file)
        if args.command == "info":
            _print_info(args.file, args.json)
        else:
            plot(args.file, args.output, slice=args.slice, channel=args.channel,
                 view=None if args.view is None else VIEWS.index(args.view))
        sys.stdout.flush()
    except BrokenPipeError:
        # What is still buffered goes nowhere, so the exit's flush fails no more.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        return 128 + signal.SIGPIPE
    except (_core.Error, OSError, ValueError, ImportError) as e:
        print("%s: %s" % (_PROGRAM, " ".join(str(e).split())), file=sys.stderr)
        return 1
    return 0


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog=_PROGRAM, description="Shows a VX560/VX550 "
                                     "instrument file or HP SDF file before a conversion.")
    commands = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")
    info = commands.add_parser("info", help="print the file's identity and settings",
                               description="Prints the file's identity and settings, a "
                               "label and a text a line.")
    info.add_argument("file", metavar="FILE")
    info.add_argument("--json", action="store_true",
                      help="print the settings document (as vxconv /Ojson writes it, "
                      "without the data) as JSON")
    draw = commands.add_parser("plot", help="draw the trace into an image file",
                               description="Draws the trace as the instrument shows it. "
                               "Nyquist and Nichols views are drawn as magnitude and phase "
                               "panels against x; Capture files as volts against time.")
    draw.add_argument("file", metavar="FILE")
    draw.add_argument("-o", "--output", required=True, metavar="IMAGE",
                      help="the image to write; its extension gives the format (.png)")
    draw.add_argument("--slice", type=int, metavar="N",
                      help="the slice of a Waterfall file, from 0 (default 0)")
    draw.add_argument("--channel", choices=["A", "B"], default="A",
                      help="the channel of a Waterfall file (default A)")
    draw.add_argument("--view", choices=VIEWS, help="a view instead of the one saved in the file")
    return parser


def _check_file(path: str) -> None:
    """Refuses a name that is no regular file before the engine opens it: a
    FIFO would keep it waiting for a writer."""
    status = os.stat(path)
    if not stat.S_ISREG(status.st_mode):
        raise ValueError("%s: not a regular file" % path)


def _print_info(path: str, as_json: bool) -> None:
    model = document(path)
    if as_json:
        print(json.dumps(model, indent=2, ensure_ascii=False))
        return
    identity = model["identity"]
    axis = identity["x_axis"]
    rows = [("Kind:", identity["kind"]), ("Instrument:", identity["instrument"]),
            ("Measure group:", identity["measure_group"]),
            ("Measurement:", identity["measurement"]), ("Time:", identity["time"]),
            ("Points:", identity["points"]),
            ("X axis:", None if axis is None else "%s (%s)" % (axis["kind"], axis["unit"])),
            ("Units:", ", ".join(u or "-" for u in identity["units"]))]
    rows += [(s["label"].strip(), s["text"].strip()) for s in model["settings"]]
    width = max(len(label) for label, _ in rows)
    for label, text in rows:
        print("%-*s  %s" % (width, label, "-" if text is None else text))


if __name__ == "__main__":
    sys.exit(main())
