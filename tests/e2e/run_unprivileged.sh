#!/usr/bin/env bash
# Runs a QtTest executable (with the test functions given) as the unprivileged user
# nobody when started as root, so that file permissions bind: root reads and writes
# any file whatever its mode. The executable is copied into a fresh folder nobody can
# reach, since the build folder may lie under a home that nobody cannot enter.
# Exit code 77 (skipped) only when there is no way to drop privileges.
set -u
binary="$1"
shift
if [ "$(id -u)" -ne 0 ]; then
  exec "$binary" "$@"
fi
if ! command -v setpriv >/dev/null 2>&1 || ! id nobody >/dev/null 2>&1; then
  echo "SKIP: running as root without setpriv or the user nobody; permissions cannot be tested"
  exit 77
fi
group=$(id -gn nobody)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$binary" "$work/"
mkdir -m 700 "$work/home" "$work/tmp" "$work/runtime"
chown nobody:"$group" "$work/home" "$work/tmp" "$work/runtime"
cd "$work/tmp" || exit 1
env HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config" \
  setpriv --reuid=nobody --regid="$group" --clear-groups -- "$work/$(basename "$binary")" "$@"
