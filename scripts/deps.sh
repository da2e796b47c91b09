# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The Debian packages the program and its tests need, and what installs the missing ones.
# Sourced by run.sh (torvane_install_packages build), test.sh (torvane_install_packages test)
# fresh-root.sh (torvane_install_packages fresh-root) and windows.sh (… windows).
# The same names serve Debian 12 and Debian 13; no name carries a version number that differs
# between releases (clang 19 is the default clang of Debian 13 and packaged for Debian 12 too).

# Building and running the program: the compiler, CMake with Ninja, Qt 6's Widgets and
# PrintSupport development files (with the X11 platform plugin), the print service's headers,
# the header-only fast_float that reads decimal numbers, the labels' face and Qt's Wayland
# platform plugin.
torvane_build_packages=(
    build-essential cmake ninja-build
    qt6-base-dev libcups2-dev libfast-float-dev
    fonts-liberation qt6-wayland
)

# The test bench, on top of those: unit test and benchmark libraries, clang and its clazy
# for the analysers, clang 19 with its sanitizer and fuzzer runtime, LLVM's symbolizer for the
# sanitizers' reports and LLVM's own C++ library (libc++) for the calculation built with it, a
# virtual X server and what drives and photographs it, a print service with a PDF printer, the
# validators and tools of the packaging checks, D-Bus and AT-SPI for the screen-reader tests,
# a Wayland compositor, and the licence, package and static checkers.
torvane_test_packages=(
    libgtest-dev libbenchmark-dev googletest
    clang clang-tidy clazy
    clang-19 libclang-rt-19-dev llvm libc++-19-dev libc++abi-19-dev
    xvfb xauth xdotool imagemagick poppler-utils python3
    cups cups-client printer-driver-cups-pdf
    desktop-file-utils appstream librsvg2-bin dpkg-dev file lintian reuse
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 orca procps
    weston
)

# What scripts/fresh-root.sh needs beyond a Debian system (util-linux's mount, findmnt and
# unshare, coreutils' chroot): debootstrap to make the root, git to put the tree into it.
torvane_fresh_root_packages=(debootstrap git)

# The machine's apt package sources (deb, not disabled), deb822 and one-line alike, one a line:
# URI SUITE KEYRING COMPONENTS..., KEYRING being "-" where no keyring file is named.
torvane_apt_sources() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                uris = ""; suites = ""; types = ""; comps = ""; key = "-"; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    field = $i; sub(/:.*/, "", field)
                    value = substr($i, length(field) + 2); gsub(/^[ \t]+|[ \t]+$/, "", value)
                    if (field == "URIs") uris = value
                    if (field == "Suites") suites = value
                    if (field == "Types") types = value
                    if (field == "Components") comps = value
                    if (field == "Enabled") enabled = value
                    if (field == "Signed-By" && value ~ /^\//) key = value
                }
                if (types !~ /(^| )deb( |$)/ || enabled ~ /no/) next
                nu = split(uris, u, " "); ns = split(suites, s, " ")
                for (j = 1; j <= nu; j++)
                    for (k = 1; k <= ns; k++) print u[j], s[k], key, comps
            }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" {
                key = "-"; n = 2
                if ($2 ~ /^\[/) {
                    for (; n <= NF; n++) {
                        if ($n ~ /^\[?signed-by=/) { key = $n; sub(/^\[?signed-by=/, "", key); sub(/\]$/, "", key) }
                        if ($n ~ /\]$/) break
                    }
                    n++
                }
                line = $n " " $(n + 1) " " key
                for (i = n + 2; i <= NF; i++) line = line " " $i
                print line
            }' "$file"
    done
}

torvane_installed() {  # PACKAGE: whether dpkg has it installed
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# torvane_install_packages build|test|fresh-root|windows: installs whatever of the list is missing,
# with sudo when not root. The test bench's list comes on top of the build's.
torvane_install_packages() {
    local purpose=$1 wanted=() missing=() pkg
    case $purpose in
        build) wanted=("${torvane_build_packages[@]}") ;;
        test) wanted=("${torvane_build_packages[@]}" "${torvane_test_packages[@]}") ;;
        fresh-root) wanted=("${torvane_fresh_root_packages[@]}") ;;
        windows) wanted=("${torvane_windows_packages[@]}") ;;
        web) wanted=("${torvane_web_packages[@]}") ;;
        *)
            echo "torvane_install_packages: no list for '$purpose'" >&2
            return 2
            ;;
    esac
    for pkg in "${wanted[@]}"; do
        torvane_installed "$pkg" || missing+=("$pkg")
    done
    [ ${#missing[@]} -ne 0 ] || return 0

    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Updating the package lists, to install ${#missing[@]} package(s) for the $purpose"
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 update
    echo "Installing (with what they depend on): ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 \
        install -y --no-install-recommends "${missing[@]}"
}

# Cross-building the program for 64-bit Windows (scripts/windows.sh), installed in the Debian 13
# root it makes, so these are Debian 13's names: the MinGW-w64 compiler with POSIX threads and
# its binutils, CMake and Ninja, the header-only fast_float (the same headers serve every
# target), the root's own Qt (its moc, rcc, uic and syncqt, and the CMake packages that name
# them) for the Qt built for Windows from Debian's source, which dpkg-dev's dpkg-source unpacks
# from xz-compressed tarballs. Then what the Windows package holds and is made with
# (GoogleTest's source, the icon's drawing tools, the labels' face, NSIS, wixl of msitools for
# the MSI, osslsigncode to sign the packages) and what tests it
# under Wine: Wine with its own fonts, a virtual X server and what drives and photographs it,
# and the German locale's definition; then, for the printed page, a print service with a PDF
# printer, poppler's tools and Python to measure and read the page, Ghostscript to draw its
# picture parts alone and Tesseract with its English data to read them; and openssl, which
# makes the signing test's throw-away certificate.
torvane_windows_packages=(
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    cmake ninja-build libfast-float-dev
    qt6-base-dev
    dpkg-dev xz-utils
    googletest librsvg2-bin icoutils fonts-liberation nsis
    wine64 fonts-wine xvfb xauth xdotool imagemagick locales
    cups cups-client printer-driver-cups-pdf poppler-utils python3
    ghostscript tesseract-ocr tesseract-ocr-eng
    wixl osslsigncode openssl
)

# Building the program for a web browser (scripts/web.sh) and testing it there, installed in the
# Debian 13 root it makes, so these are Debian 13's names: emscripten (with Debian's clang,
# binaryen and node behind it), CMake and Ninja, the header-only fast_float, the root's own Qt
# (its moc, rcc, uic and syncqt, and the CMake packages that name them) for the Qt built for
# WebAssembly from Debian's source, which dpkg-dev's dpkg-source unpacks from xz-compressed
# tarballs, the labels' face the page ships and GoogleTest's source for the calculation's tests
# under Node, and brotli, which compresses the page's files beside them for a server that
# sends them so. Then what tests the page: chromium with its WebDriver and Python's Selenium to
# drive it, headless, and poppler's tools to read the PDF the page hands over at Print.
torvane_web_packages=(
    emscripten
    cmake ninja-build libfast-float-dev
    qt6-base-dev
    dpkg-dev xz-utils
    fonts-liberation googletest brotli librsvg2-bin
    chromium chromium-driver python3 python3-selenium poppler-utils
)
