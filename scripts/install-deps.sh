#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and running the tool need.
# One list for the README, for CI and for developers. Run as root or through sudo.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config ccache clang-format
    # the fuzz targets: clang with libFuzzer and the sanitizers' run-time libraries
    clang libclang-rt-14-dev
    # libraries
    qt6-base-dev qt6-multimedia-dev libsimpleini-dev libbenchmark-dev
    # sound files of other formats: decoding and resampling; loudness (EBU R 128)
    libsndfile1-dev libsoxr-dev libebur128-dev
    # an installation's history (a git repository written with the library, never the git program)
    # and the SHA-256 of what a push reads back (the system's crypto library)
    libgit2-dev libssl-dev
    # passwords kept in the desktop keyring (Secret Service, through libsecret at run time)
    qtkeychain-qt6-dev libsecret-1-0
    # run time on a real desktop: platform plugins, multimedia back end, sound server client
    qt6-qpa-plugins libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good pulseaudio-utils
    # controller simulator and demo
    python3 python3-pyftpdlib espeak-ng sox
    # tests, screenshot and benchmarks
    xvfb xauth imagemagick fonts-dejavu-core curl lftp procps vsftpd
    # the Debian package and its checks
    dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin
    # a sound server with a null output for the playback test
    pulseaudio
    # the keyring test's own session bus and Secret Service
    dbus dbus-x11 gnome-keyring libsecret-tools
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

# Nothing to do when every package is there already (a developer's second run).
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
