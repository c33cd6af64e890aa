#!/usr/bin/env bash
# Runs a program on a virtual X display under a window manager, with Qt's xcb platform:
# scripts/run-on-display.sh PROGRAM [ARGUMENTS]. Window frames, dialogs' ties to their windows and
# the window manager's placement can only be seen on a real window system.
set -euo pipefail
[ "${1:-}" = "--inside" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside "$@"
shift
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill $manager 2>/dev/null || true' EXIT
# The manager is ready once it names itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" || { echo "no window manager" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
