"""Folders: every instrument and HP SDF file in a tree, found by content, with
its description or the error it gave; a catalog of them as a DataFrame."""
import dataclasses
import json
import os
import stat
import typing

from . import _core, _file

# The engine's message for a file that is no instrument or HP SDF file.
_NOT_AN_INSTRUMENT_FILE = "Unknown input file format"


@dataclasses.dataclass(frozen=True)
class Found:
    """One instrument or HP SDF file of a scan: its path, with its description,
    or the error the engine (or the system, for a file that cannot be read)
    gave for it."""
    path: str
    info: typing.Optional[_core.Info]
    error: typing.Optional[Exception]


def scan(folder: typing.Union[str, "os.PathLike[str]"],
         recursive: bool = True) -> typing.Iterator[Found]:
    """Yields every instrument and HP SDF file under `folder` (and its
    subfolders when `recursive`), sorted by path. Files are recognised by
    their content, whatever their names; other files (text, number lists,
    empty files, FIFOs, devices) are passed over, and symbolic links to
    folders are not followed. A damaged instrument file is yielded with its
    error, and so is a subfolder that cannot be listed (it may hold some);
    a `folder` that cannot be listed raises OSError."""
    for path, error in _entries(os.fspath(folder), recursive):
        found = _examine(path) if error is None else Found(path, None, error)
        if found is not None:
            yield found


def catalog(folder: typing.Union[str, "os.PathLike[str]"], recursive: bool = True) -> typing.Any:
    """A pandas DataFrame with one row per file scan() yields: path, kind,
    measurement, measure group, points, span and sampling rate (Hz, where the
    file has them), time stamp and error text (None for a file that reads)."""
    pandas = _file._optional("pandas", "python3-pandas")
    columns = ["path", "kind", "measurement", "measure_group", "points", "span",
               "sampling_rate", "time", "error"]
    frame = pandas.DataFrame([_row(found) for found in scan(folder, recursive)], columns=columns)
    frame["points"] = frame["points"].astype("Int64")  # whole numbers, missing for an error
    return frame


def document(path: typing.Union[str, "os.PathLike[str]"]) -> typing.Dict[str, typing.Any]:
    """A file's identity and settings as the engine describes them (the
    document vxconv /Ojson writes, without the data)."""
    with _core._lock:
        text = _file._settings_text(path, None)
    result: typing.Dict[str, typing.Any] = json.loads(text)
    return result


def _entries(folder: str,
             recursive: bool) -> typing.List[typing.Tuple[str, typing.Optional[OSError]]]:
    """The files under a folder, and the subfolders that could not be listed
    with their error, sorted by path; symbolic links to folders are listed
    among the folders and never entered."""
    entries: typing.List[typing.Tuple[str, typing.Optional[OSError]]] = []
    unlisted: typing.List[OSError] = []
    for top, folders, names in os.walk(folder, onerror=unlisted.append, followlinks=False):
        entries.extend((os.path.join(top, name), None) for name in names)
        if not recursive:
            folders.clear()
    for error in unlisted:
        if error.filename == folder:
            raise error
        entries.append((error.filename, error))
    return sorted(entries, key=lambda entry: entry[0])


def _examine(path: str) -> typing.Optional[Found]:
    """The scan's record of one file, or None when it is no instrument file.
    Only nonempty regular files reach the engine: opening a FIFO would wait
    for a writer."""
    try:
        status = os.stat(path)  # follows a link to a file; a broken or looping link fails
    except OSError:
        return None
    if not stat.S_ISREG(status.st_mode) or status.st_size == 0:
        return None
    try:
        with open(path, "rb"):
            pass
    except OSError as e:  # its content is unknown, but it may hold a measurement
        return Found(path, None, e)
    try:
        return Found(path, _core.info(path), None)
    except _core.Error as e:
        if any(line.startswith(_NOT_AN_INSTRUMENT_FILE) for line in e.messages):
            return None
        return Found(path, None, e)


def _row(found: Found) -> typing.Dict[str, typing.Any]:
    row: typing.Dict[str, typing.Any] = {"path": found.path, "error": None}
    if found.error is not None:
        row["error"] = str(found.error)
        return row
    identity = document(found.path)["identity"]
    settings = found.info.settings if found.info is not None else {}
    row.update(kind=identity["kind"], measurement=identity["measurement"],
               measure_group=identity["measure_group"], points=identity["points"],
               span=_number(settings, "span"), sampling_rate=_number(settings, "sampling_freq"),
               time=found.info.time if found.info is not None else None)
    return row


def _number(settings: typing.Mapping[str, _core.Setting], key: str) -> typing.Optional[float]:
    setting = settings.get(key)
    value = None if setting is None else setting.value
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        return None
    return float(value)

