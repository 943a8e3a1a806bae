"""Checks the package with mypy --strict (settings in pyproject.toml); exit
status 77 (skipped) when mypy is missing.
    run_mypy.py CACHE_DIR"""
import os
import sys

try:
    import mypy.api
except ImportError as e:
    print("Python typing check skipped: %s (Debian: python3-mypy)" % e)
    sys.exit(77)

here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
out, err, status = mypy.api.run(["--config-file", os.path.join(here, "pyproject.toml"),
                                 "--cache-dir", sys.argv[1], os.path.join(here, "vxcore")])
sys.stdout.write(out + err)
sys.exit(status)
