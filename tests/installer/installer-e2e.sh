#!/usr/bin/env bash
# installer-e2e.sh SETUP_EXE TEST_PROGRAM: the installer end to end in a fresh Wine prefix (never the
# prefix of the other tests): a silent installation, the checks of test_installer.exe's suite
# Installed, a second silent installation over it while the program runs (suite Reinstalled), the
# silent uninstallation, and the suite Uninstalled. Run by CTest inside scripts/test's sandbox
# (display, locale); the prefix and home live in build/cmake/installer-e2e and stay for inspection.
set -uo pipefail
setup=$1 tests=$2
work="$(dirname "$(dirname "$tests")")/installer-e2e"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

rm -rf "$work"
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix" HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export QUILLON_SETUP="Z:${setup//\//\\}"
failed=0

# Runs a Windows program of this prefix and waits until every process it started has ended (the
# uninstaller copies itself away and runs from there).
in_prefix() {
  "$WINE" "$@" </dev/null
  local status=$?
  "$WINESERVER" -w
  return $status
}
step() {
  local name=$1
  shift
  local start=$SECONDS
  "$@" || { echo "installer-e2e: $name failed"; failed=1; }
  echo "installer-e2e: $name ($((SECONDS - start)) s)"
}
# A suite has passed only when GoogleTest printed its closing line (a crash under Wine can end with
# exit code 0) and listed no failure.
stage() {
  local log="$work/$1.log"
  in_prefix "$tests" --gtest_brief=1 --gtest_filter="$1.*" >"$log" 2>&1
  local status=$?
  cat "$log"
  [ $status -eq 0 ] && grep -q '^\[  PASSED  \] [1-9]' "$log" && ! grep -q '^\[  FAILED  \]' "$log"
}

step "fresh prefix" in_prefix wineboot --init
# Without a window manager Wine waits about 2 s for every managed window to close.
unmanaged() { in_prefix reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null; }
step "unmanaged windows" unmanaged
step "silent installation" in_prefix "$setup" /S

installed="$WINEPREFIX/drive_c/Program Files/Quillon"
changelog_ok() {
  iconv -f CP936 -t UTF-8 "$installed/ChangeLog.txt" | grep -q '^版本 ' &&
    [ "$(grep -c $'\r$' "$installed/ChangeLog.txt")" -eq "$(wc -l <"$installed/ChangeLog.txt")" ]
}
step "change log in code page 936 with CR LF" changelog_ok
help_ok() { [ "$(head -c 4 "$installed/LorvexHelp.chm")" = ITSF ]; }
step "help file is a compiled help file" help_ok

step "suite Installed" stage Installed
step "suite Reinstalled" stage Reinstalled
step "silent uninstallation" in_prefix "C:\\Program Files\\Quillon\\uninstall.exe" /S
step "suite Uninstalled" stage Uninstalled

"$WINESERVER" -k 2>/dev/null
exit $failed
