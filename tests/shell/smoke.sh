#!/usr/bin/env bash
# Starts the real program headless, waits until it handles SIGTERM (its event loop is
# running), asks it to close the way a logout does, and expects exit code 0.
set -u
program="$1"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" XDG_STATE_HOME="$config/state" QT_QPA_PLATFORM=offscreen "$program" &
pid=$!
for _ in $(seq 1 200); do
  caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  if [ -n "$caught" ] && (( (16#$caught >> 14) & 1 )); then break; fi
  if ! kill -0 "$pid" 2>/dev/null; then echo "program exited early"; wait "$pid"; exit 1; fi
  sleep 0.05
done
kill -TERM "$pid"
wait "$pid"
code=$?
echo "exit code $code"
[ "$code" -eq 0 ]
