#!/usr/bin/env bash
# Runs a Windows build tool under the sandboxed Wine of scripts/env during the build.
#     run-in-wine.sh REPOSITORY BUILD_DIR EMULATOR TOOL.exe [ARGUMENTS]...
# BUILD_DIR is the tree above the CMake build folder (scripts/env's BUILD_DIR). When the build runs
# from scripts/test, scripts/run or scripts/bench, their Wine environment for this tree is already
# exported; otherwise (cmake --build by hand) the same sandbox is set up here, and a WINEPREFIX of
# the user's shell is ignored, so the user's own prefix is never touched.
set -euo pipefail
ROOT=$1
build_dir=$2
emulator=$3
shift 3

build_dir=$(cd "$build_dir" && pwd)
if [ "${QUILLON_SANDBOX_BUILD_DIR:-}" != "$build_dir" ]; then
  unset WINEPREFIX
  BUILD_DIR=$build_dir
  # shellcheck source=../scripts/env
  source "$ROOT/scripts/env"
fi
wineserver_bin=/usr/lib/wine/wineserver64
[ -x "$wineserver_bin" ] || wineserver_bin=wineserver

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Wine's services outlive the tool and would inherit open pipes, keeping the build waiting: the
# tool gets no terminal or pipe of the build, its output goes to a file.
status=0
"$emulator" "$@" </dev/null >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log" >&2
  exit "$status"
fi
# Let this Wine session end, so that the test run after the build starts its own persistent server.
timeout 60 "$wineserver_bin" -w || true
