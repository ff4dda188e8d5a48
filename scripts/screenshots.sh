#!/bin/sh
# Saves a PNG of each window of the desktop program (Upgrade window, Updater
# window, Port setup, Version list) into a folder, docs/screenshots/ by
# default. Runs the real program under a virtual X display (xvfb-run) with
# its screenshot hook: each window is shown, grabbed and saved, then the
# program ends. Settings and port aliases go to a temporary folder, so the
# user's own are never touched.
#
#   scripts/screenshots.sh [program] [output folder]
set -eu

program=${1:-build/bin/vorlan}
out=${2:-docs/screenshots}

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "screenshots: xvfb-run is missing (Debian packages xvfb and xauth)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime" "$work/settings" "$work/ports" "$out"
chmod 700 "$work/runtime"
out=$(cd "$out" && pwd)

XDG_RUNTIME_DIR="$work/runtime" \
VORLAN_SETTINGS_DIR="$work/settings" \
VORLAN_PORT_DIR="$work/ports" \
VORLAN_SCREENSHOT_DIR="$out" \
VORLAN_TEST_DISMISS_MS=1000 \
    timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$program"

ls -1 "$out"/*.png
