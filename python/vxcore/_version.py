"""The package's version: the project's (CMake's PROJECT_VERSION)."""
__version__ = "3.0.0"
