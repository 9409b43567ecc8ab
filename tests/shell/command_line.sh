#!/usr/bin/env bash
# The program's command line: --help and --version print and exit 0 without a display
# (no DISPLAY and no platform plugin are given); an unknown option is an error on stderr
# with exit code 2 before any window opens.
set -u
program="$1"
fail() { echo "FAIL: $*"; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

out=$(run --help 2>&1) || fail "--help exited $?: $out"
grep -q -- "--version" <<<"$out" || fail "--help does not list --version: $out"
grep -q -- "--recover" <<<"$out" || fail "--help does not list --recover: $out"

out=$(run --version 2>&1) || fail "--version exited $?: $out"
grep -Eq "^Tesserine [0-9]+\.[0-9]+" <<<"$out" || fail "--version printed: $out"

err=$(QT_QPA_PLATFORM=offscreen "$program" --no-such-option 2>&1 >/dev/null); code=$?
[ "$code" -eq 2 ] || fail "an unknown option exited $code"
grep -q "no-such-option" <<<"$err" || fail "the error does not name the option: $err"
echo "command line answered"
