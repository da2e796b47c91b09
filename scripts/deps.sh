# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the program need, when any is
# missing. Sourced by test.sh and run.sh.
torvane_packages=(
    build-essential cmake
    qt6-base-dev qt6-qpa-plugins libqt6printsupport6 libcups2-dev
    fonts-liberation
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool imagemagick poppler-utils python3
    cups cups-client printer-driver-cups-pdf
    desktop-file-utils appstream librsvg2-bin dpkg-dev
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    orca procps  # test bench only: the screen-reader test runs Orca and finds its pid with pgrep
    qt6-wayland weston
)

torvane_install_packages() {
    local missing=() pkg
    for pkg in "${torvane_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
        "${missing[@]}"
}
