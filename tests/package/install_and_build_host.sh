#!/bin/sh
# Installs the build into a temporary prefix and uses it as an outside host
# would: examples/host.c built with pkg-config and with
# find_package(vxcore CONFIG), both run; the manual page formats without
# warnings; the installed Python package finds its library by itself and
# prints nothing but what it is asked to.
# Installed under the configured prefix, the package is where python3 looks.
#   install_and_build_host.sh BUILD SOURCE CMAKE CC LIBDIR PYDIR [PYTHON3 [PREFIX]]
set -eu
build=$1 src=$2 cmake=$3 cc=$4 libdir=$5 pydir=$6 python=${7:-} configured=${8:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAILED: $*"; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for f in bin/vxconv bin/vxarchive include/vxcore.h "$libdir/pkgconfig/vxcore.pc" \
         "$libdir/cmake/vxcore/vxcoreConfig.cmake" "$libdir/cmake/vxcore/vxcoreConfigVersion.cmake" \
         share/man/man1/vxconv.1 share/man/man1/vxarchive.1 "$pydir/vxcore/__init__.py"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
# The usual links: the development name and the SONAME point at the real file.
[ -L "$prefix/$libdir/libvxcore.so" ] || fail "no link libvxcore.so"
soname=$(readlink "$prefix/$libdir/libvxcore.so")
[ -L "$prefix/$libdir/$soname" ] || fail "no link $soname"
case $soname in libvxcore.so.[0-9]*) ;; *) fail "link to $soname" ;; esac
"$prefix/bin/vxconv" --version | grep -q '^vxconv [0-9]' || fail "vxconv --version"

cd "$work"
"$prefix/bin/vxconv" "$src/examples/sine.txt" sine.56c /Ocap /I10 >/dev/null || fail "vxconv"
display=$src/examples/fft1.56d

if command -v pkg-config >/dev/null; then
    flags=$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs vxcore)
    # shellcheck disable=SC2086
    "$cc" -std=c99 -Wall -Wextra -Wpedantic -Werror "$src/examples/host.c" $flags -o host_pc ||
        fail "host with pkg-config"
    LD_LIBRARY_PATH="$prefix/$libdir" ./host_pc "$display" sine.56c >pc.out || fail "run host_pc"
    grep -q '^trace ' pc.out || fail "host_pc output: $(cat pc.out)"
else
    echo "pkg-config not found: its part skipped"
fi

"$cmake" -S "$src/tests/package/host" -B host -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_C_COMPILER="$cc" -DHOST_SOURCE="$src/examples/host.c" >/dev/null || fail "configure host"
"$cmake" --build host >/dev/null || fail "build host"
./host/host "$display" sine.56c >cmake.out || fail "run host built with find_package"
grep -q '^trace ' cmake.out || fail "host output: $(cat cmake.out)"
if [ -f pc.out ]; then cmp -s pc.out cmake.out || fail "the two hosts differ"; fi

if command -v man >/dev/null; then
    man --warnings -l "$prefix/share/man/man1/vxconv.1" >man.out 2>man.err || fail "man -l"
    [ ! -s man.err ] || fail "man page warnings: $(cat man.err)"
    grep -q 'EXIT STATUS' man.out || fail "man page lacks EXIT STATUS"
fi

if [ -n "$python" ] && [ -n "$configured" ]; then
    # Where the interpreter looks anywhere under the prefix, it must look there.
    "$python" - "$configured" "$pydir" <<'EOF' || fail "$python does not look in $configured/$pydir"
import os, site, sys
prefix, pydir = os.path.normpath(sys.argv[1]), sys.argv[2]
sites = [os.path.normpath(d) for d in site.getsitepackages()]
looks_under = any(d.startswith(prefix + os.sep) for d in sites)
sys.exit(looks_under and os.path.normpath(os.path.join(prefix, pydir)) not in sites)
EOF
fi

if [ -n "$python" ] && "$python" -c 'import numpy' 2>/dev/null; then
    rm -f qrblog.txt # vxconv's
    PYTHONPATH="$prefix/$pydir" "$python" -c \
        "import vxcore; print(vxcore.read('$display').y[:3])" >py.out 2>py.err || fail "python: $(cat py.err)"
    [ "$(wc -l <py.out)" -eq 1 ] && grep -q '^\[ *[-0-9]' py.out || fail "python printed: $(cat py.out)"
    [ ! -s py.err ] || fail "python wrote to stderr: $(cat py.err)"
    [ ! -e qrblog.txt ] || fail "python left qrblog.txt in the current folder"
else
    echo "python3 with numpy not found: the Python part skipped"
fi
echo "installed tree works from outside"
