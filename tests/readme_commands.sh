#!/usr/bin/env bash
# Runs the README's commands as written, in order, in a scratch copy of the
# clone (examples/, and build/ holding the built programs). Build and test
# steps ("cmake ...", "ctest ...") are left out: this build stands for them.
# Every command must exit 0, write nothing outside build/ but the error log,
# and every build/ file that a command names must exist afterwards.
# Usage: readme_commands.sh SOURCE_DIR BUILD_DIR [no-python]
set -euo pipefail
set -f # the commands' wildcards are for vxconv, not this script
src=$1 bin=$2 python=${3:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/vxreadme-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$src/examples" "$work/examples"
mkdir "$work/build"
for program in vxconv vxarchive vxhost libvxcore.so; do
  ln -s "$bin/$program" "$work/build/$program"
done
cd "$work"
examples_before=$(cd examples && find . -type f -exec md5sum {} + | sort)

commands=0
named=()
while IFS= read -r line; do
  rest="${line#    }"
  while [ -n "$rest" ]; do
    step="${rest%% && *}"
    if [ "$step" = "$rest" ]; then rest=""; else rest="${rest#* && }"; fi
    case "$step" in
      cmake\ * | ctest\ *) continue ;;
      python3\ *) [ "$python" = no-python ] && continue ;;
    esac
    commands=$((commands + 1))
    if ! bash -c "$step" >"$work/out.txt" 2>&1; then
      cat "$work/out.txt"
      echo "FAILED: $step" >&2
      exit 1
    fi
    for token in $step; do
      token="${token//\'/}"
      case "$token" in build/*\**) ;; build/*) named+=("$token") ;; esac
    done
  done
done < <(grep -E '^    (cmake |\./build/|python3 )' "$src/README.md")

[ "$commands" -gt 0 ] || { echo "no README command found" >&2; exit 1; }
for file in "${named[@]}"; do
  [ -e "$file" ] || { echo "a README command names $file, which was not written" >&2; exit 1; }
done
stray=$(ls -A | grep -v -x -e build -e examples -e qrblog.txt -e out.txt || true)
[ -z "$stray" ] || { echo "README commands wrote outside build/: $stray" >&2; exit 1; }
examples_after=$(cd examples && find . -type f -exec md5sum {} + | sort)
[ "$examples_before" = "$examples_after" ] || { echo "README commands changed examples/" >&2; exit 1; }
echo "$commands README commands ran"
