"""Prints where the Python package goes, relative to the install prefix given
as the argument: the folder under that prefix where this interpreter looks
for packages (Debian's python3: lib/python3.X/dist-packages under /usr/local,
lib/python3/dist-packages under /usr). Prints nothing when it looks in no
folder under the prefix."""
import os
import site
import sys

prefix = os.path.normpath(sys.argv[1])
for folder in site.getsitepackages():
    relative = os.path.relpath(folder, prefix)
    # lib/... only: /usr/local/lib/... lies under /usr too, but is /usr/local's.
    if relative.startswith("lib" + os.sep):
        print(relative)
        break
