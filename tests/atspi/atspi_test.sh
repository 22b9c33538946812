#!/usr/bin/env bash
# The program as a screen reader meets it: started in Xvfb on a private session bus with the
# accessibility bus beside it, then read over AT-SPI by read_windows.py.
#   tests/atspi/atspi_test.sh PROGRAM
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_STATE_HOME=$home/state QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  "$1" >"$HOME/program.log" 2>&1 &
  status=0
  /usr/bin/python3 "$2/read_windows.py" || status=$?
  kill %2 %1 2>/dev/null || true
  exit $status' bash "$program" "$here"
