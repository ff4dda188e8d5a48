#!/bin/sh
# Installs the Debian packages that building, testing, the demo, the
# Debian package (make package) and the Windows setup program and zip
# (make windows-installer) need; with the argument "fuzz" also clang and
# its libFuzzer and sanitizer runtimes (make fuzz). Quick when everything is
# there; uses sudo when not run as root.
set -eu

PACKAGES="build-essential cmake g++ make git qt6-base-dev libgl1-mesa-dev libgtest-dev \
libgmock-dev socat xvfb xauth fonts-dejavu-core fonts-urw-base35 python3 \
dpkg-dev file help2man lintian desktop-file-utils \
g++-mingw-w64-x86-64-posix wine64 googletest xdotool fonts-liberation2 fonts-wine \
nlohmann-json3-dev procps"
if [ "${1:-}" = "fuzz" ]; then
    PACKAGES="$PACKAGES clang libclang-rt-14-dev"
fi
# The Windows setup program and zip (make windows-installer).
PACKAGES="$PACKAGES nsis zip unzip"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
