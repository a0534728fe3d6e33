#!/usr/bin/env bash
# scripts/desktop-test-env: a start whose window manager never came up fails, naming openbox, and
# leaves nothing running; a start that succeeds has a window manager that answers on its display.
# Each start is a private desktop of its own (a free display), beside any other.
# Argument: the script.
set -uo pipefail
script=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/desktop-test-env-tests.XXXXXX")
export QUORVELLE_DESKTOP_ENV_DIR=$work/desktop
trap '"$script" stop >/dev/null 2>&1; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# The processes a start recorded that still run (zombies aside).
still_running() {
  local pid
  [ -f "$QUORVELLE_DESKTOP_ENV_DIR/pids" ] || return 0
  while read -r pid; do
    if [ -n "$pid" ] && [ -d "/proc/$pid" ] && ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; then
      echo "$pid"
    fi
  done <"$QUORVELLE_DESKTOP_ENV_DIR/pids"
}

# openbox that cannot open the display exits at once, as it does when the server refuses it.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "Openbox-Message: Failed to open the display" >&2\nexit 1\n' >"$work/bin/openbox"
chmod +x "$work/bin/openbox"
if PATH=$work/bin:$PATH "$script" start >"$work/out" 2>&1; then
  fail "a start without a window manager reported the desktop ready"
elif ! grep -q 'openbox did not start' "$work/out"; then
  fail "a start without a window manager did not name openbox: $(cat "$work/out")"
fi
[ -z "$(still_running)" ] || fail "a failed start left processes running: $(still_running | tr '\n' ' ')"
[ ! -e "$QUORVELLE_DESKTOP_ENV_DIR/env" ] || fail "a failed start left its environment for the tests"

if ! "$script" start >"$work/out" 2>&1; then
  fail "a start failed: $(cat "$work/out")"
else
  (
    eval "$("$script" env)"
    id=$(xprop -root -notype -f _NET_SUPPORTING_WM_CHECK 32x ' $0' _NET_SUPPORTING_WM_CHECK |
      sed -n 's/^_NET_SUPPORTING_WM_CHECK \(0x[0-9a-fA-F]*\)$/\1/p')
    [ -n "$id" ] && xprop -id "$id" -notype _NET_WM_NAME | grep -q '"Openbox"'
  ) || fail "a desktop reported ready has no window manager that answers"
  "$script" stop
  [ -z "$(still_running)" ] || fail "stop left processes running"
fi
exit $((failures > 0))
