#!/usr/bin/env python3
"""Converts every instrument and HP SDF file of a folder tree (found by
vxcore.scan(), whatever their names) into a destination tree of the same
shape, in worker processes of a Dask LocalCluster.

    dask_convert.py SOURCE DESTINATION [--format csv] [--workers N]

Each output is named after its input with the format's extension added
(a/run1.56d becomes DESTINATION/a/run1.56d.csv), so two inputs that differ
only in their extension never write one output. The engine keeps one model
per process, so each worker is a process of one thread. Prints a summary and
exits with status 1 when a file failed, naming each one on standard error.
Needs Debian's python3-dask and python3-distributed, and the vxcore package
(in a build tree: PYTHONPATH=python VXCORE_LIBRARY=build/libvxcore.so).
"""
import argparse
import logging
import os
import sys

import vxcore

# vxconv's /O keywords and the extensions of their outputs.
EXTENSIONS = {"asc": ".asc", "csv": ".csv", "json": ".json", "nc": ".nc", "mat": ".mat",
              "uff": ".uff", "sdf": ".dat", "56d": ".56d"}


def convert_one(job):
    """Converts one file in a worker; (source, output, error text or None)."""
    source, output, keyword = job
    try:
        os.makedirs(os.path.dirname(output), exist_ok=True)
        vxcore.convert(source, output, "/O" + keyword)
    except (vxcore.Error, OSError, ValueError) as e:
        return source, output, str(e)
    return source, output, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("source", help="the folder tree to convert")
    parser.add_argument("destination", help="the folder tree to write (not inside the source)")
    parser.add_argument("--format", choices=sorted(EXTENSIONS), default="csv",
                        help="the output format (default csv)")
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1,
                        help="worker processes (default: one per processor)")
    args = parser.parse_args()
    if args.workers < 1:
        parser.error("--workers must be at least 1")
    try:
        import dask.bag
        from dask.distributed import Client, LocalCluster
    except ImportError as e:
        sys.exit("dask_convert.py: %s (Debian: python3-dask python3-distributed)" % e)

    source = os.path.abspath(args.source)
    destination = os.path.abspath(args.destination)
    if os.path.commonpath([source, destination]) == source:
        sys.exit("dask_convert.py: the destination must not be inside the source")
    found = list(vxcore.scan(source))
    # A damaged file is not sent to a worker: the scan has said why it fails.
    failures = [(f.path, str(f.error)) for f in found if f.error is not None]
    jobs = [(f.path, os.path.join(destination, os.path.relpath(f.path, source))
             + EXTENSIONS[args.format], args.format) for f in found if f.error is None]

    if jobs:
        with LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                          dashboard_address=None, silence_logs=logging.ERROR) as cluster, \
                Client(cluster):
            bag = dask.bag.from_sequence(jobs, npartitions=min(len(jobs), 4 * args.workers))
            results = bag.map(convert_one).compute()
        failures += [(source_path, error) for source_path, _, error in results if error]

    for path, error in failures:
        print("failed: %s: %s" % (path, error), file=sys.stderr)
    print("%d of %d files converted to %s in %s; %d failed"
          % (len(found) - len(failures), len(found), args.format, destination, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
