"""The package installed as users install it (pip offline into a venv and
into a prefix; cmake --install with the default and a custom prefix),
imported by a fresh python3 without VXCORE_LIBRARY: it finds its library by
itself, tells its version and reads a file."""
import glob
import os
import shutil
import subprocess
import sys

import pytest

import vxcore

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
USE = "import vxcore; print(vxcore.__version__, vxcore.info(%r).points)"


def _variable(name):
    value = os.environ.get(name)
    if not value:
        pytest.skip("%s is not set: run these tests through ctest" % name)
    return value


def _run(*args, env=None, cwd=None):
    done = subprocess.run(args, env=env, cwd=cwd, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL)
    assert done.returncode == 0, done.stdout + done.stderr
    return done


def _clean_env(**extra):
    """The environment without the library's location, so the package must find it."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("VXCORE_LIBRARY", "LD_LIBRARY_PATH", "PKG_CONFIG_PATH", "PYTHONPATH")}
    env.update(extra)
    return env


def _cmake_install(prefix, destdir=None):
    env = dict(os.environ)
    if destdir:
        env["DESTDIR"] = str(destdir)
    args = [_variable("VX_CMAKE"), "--install", _variable("VX_BUILD_DIR")]
    _run(*args, *(["--prefix", str(prefix)] if prefix else []), env=env)


@pytest.fixture(scope="module")
def prefix(tmp_path_factory):
    """A cmake install of this build under a custom prefix."""
    folder = tmp_path_factory.mktemp("prefix")
    _cmake_install(folder)
    return folder


@pytest.fixture(scope="module")
def source(tmp_path_factory):
    """python/ copied, since pip writes build/ and *.egg-info into the folder it builds."""
    folder = tmp_path_factory.mktemp("src") / "python"
    shutil.copytree(SOURCE, folder, ignore=shutil.ignore_patterns(
        "tests", "build", "*.egg-info", "__pycache__"))
    return folder


@pytest.fixture
def display(examples):
    return os.path.abspath(os.path.join(examples, "fft1.56d"))


def _pip(python, *args):
    if subprocess.run([python, "-m", "pip", "--version"], capture_output=True).returncode:
        pytest.skip("no pip for %s (Debian: python3-pip)" % python)
    _run(python, "-m", "pip", "install", "--no-build-isolation", "--no-index", "--quiet", *args)


def _expect_imported(python, display, cwd, **env):
    done = _run(python, "-c", USE % display, env=_clean_env(**env), cwd=cwd)
    assert done.stdout.split()[0] == vxcore.__version__ and int(done.stdout.split()[1]) > 0
    assert done.stderr == ""


def test_pip_into_a_venv_finds_the_library_by_loader_and_pkg_config(tmp_path, prefix, source,
                                                                    display):
    venv = tmp_path / "venv"
    _run(sys.executable, "-m", "venv", "--system-site-packages", "--without-pip", str(venv))
    python = str(venv / "bin" / "python")
    _pip(python, str(source))
    assert glob.glob(str(venv / "lib" / "python3*" / "site-packages" / "vxcore" / "py.typed"))
    libdir = str(prefix / _variable("VX_LIBDIR"))
    _expect_imported(python, display, tmp_path, PKG_CONFIG_PATH=os.path.join(libdir, "pkgconfig"))
    _expect_imported(python, display, tmp_path, LD_LIBRARY_PATH=libdir)

    # Nowhere to find it: an ImportError that says where it looked.
    empty = tmp_path / "no-pc"
    empty.mkdir()
    failed = subprocess.run([python, "-c", "import vxcore"], capture_output=True, text=True,
                            env=_clean_env(PKG_CONFIG_LIBDIR=str(empty)), cwd=tmp_path)
    last = failed.stderr.splitlines()[-1]
    assert last.startswith("ImportError: vxcore: libvxcore not found; tried VXCORE_LIBRARY")
    assert "libvxcore.so.3" in last and "pkg-config" in last


def test_pip_into_a_prefix(tmp_path, prefix, source, display):
    _pip(sys.executable, "--prefix", str(tmp_path / "p"), str(source))
    (package,) = glob.glob(str(tmp_path / "p" / "**" / "vxcore" / "__init__.py"), recursive=True)
    pkgconfig = str(prefix / _variable("VX_LIBDIR") / "pkgconfig")
    site = os.path.dirname(os.path.dirname(package))
    _expect_imported(sys.executable, display, tmp_path, PYTHONPATH=site, PKG_CONFIG_PATH=pkgconfig)


@pytest.mark.parametrize("where", ["default prefix", "custom prefix"])
def test_cmake_install_finds_the_library_beside_it(tmp_path, prefix, display, where):
    pydir = _variable("VX_PYTHON_INSTALL_DIR")
    if where == "default prefix":
        _cmake_install(None, destdir=tmp_path / "root")
        installed = str(tmp_path / "root") + _variable("VX_INSTALL_PREFIX")
    else:
        installed = str(prefix)
    assert os.path.isfile(os.path.join(installed, pydir, "vxcore", "py.typed"))
    _expect_imported(sys.executable, display, tmp_path, PYTHONPATH=os.path.join(installed, pydir))
