#!/usr/bin/env bash
# Runs a program on a virtual X display under a window manager, with Qt's xcb platform:
# scripts/run-on-display.sh PROGRAM [ARGUMENTS]. Window frames, dialogs' ties to their windows and
# the window manager's placement can only be seen on a real window system. The screen is low
# (1024 x 600), so the forms that fit themselves to small screens do. When no virtual display can
# be started the run is skipped (exit code 77) with the reason.
set -euo pipefail
skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb is not installed (scripts/deps.sh installs it)"
command -v openbox >/dev/null || { echo "openbox is not installed (scripts/deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
server=
manager=
cleanup() {
  for process in $manager $server; do kill "$process" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Checks the condition until it holds or the process given has ended; gives up only after a
# minute, which a busy machine never needs.
wait_while_running() {
  local process=$1 deadline=$((SECONDS + 60))
  shift
  until "$@"; do
    kill -0 "$process" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# The server picks a free display and writes its number once it accepts clients. It must not
# reset when its last client leaves: the reset drops a client that is still connecting.
Xvfb -displayfd 3 -screen 0 1024x600x24 -nolisten tcp -noreset 3>"$work/display" \
  2>"$work/server.log" &
server=$!
wait_while_running "$server" test -s "$work/display" ||
  skip "the virtual X display did not start: $(tail -n 3 "$work/server.log")"
export DISPLAY=:$(tr -d '\n' <"$work/display")

# Openbox names itself on the root window (_NET_SUPPORTING_WM_CHECK) before it takes windows: a
# window mapped in between is never managed. It runs its startup command once it is ready.
openbox --sm-disable --startup "touch $work/manager-ready" >"$work/manager.log" 2>&1 &
manager=$!
wait_while_running "$manager" test -e "$work/manager-ready" ||
  { echo "the window manager did not start: $(tail -n 3 "$work/manager.log")" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
