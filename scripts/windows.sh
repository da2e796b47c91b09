#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the program for 64-bit Windows and tests it under Wine, the same on any Debian
# 12 or 13 machine, as root (or with sudo):
#
#   scripts/windows.sh
#
# On the machine it makes a fresh Debian 13 (trixie) root (scripts/root.sh), binds the working
# tree into it at the same path and the Qt cache (TORVANE_WINDOWS_CACHE, default
# /var/cache/torvane-windows) at /var/cache/torvane-windows, and runs itself there with
# --in-root, which, in the root:
#   1. installs the MinGW-w64 compiler and the rest of torvane_windows_packages (deps.sh);
#   2. builds Qt for Windows (Core, Gui, Widgets, PrintSupport, Test, the windows platform
#      plugin and the modernwindows style) from Debian's own qt6-base source, at the version of
#      the root's own Qt, whose moc, rcc, uic and syncqt it uses (scripts/debian-qt.sh): into
#      the cache, in a folder named after its version and a digest of how it was built, which a
#      later run reuses;
#   3. cross-builds the program and its tests with the project's CMake files into
#      build-windows/, and checks the program's hardening (stack protector, ASLR, DEP);
#   4. makes the installer, the MSI and the portable .zip (cpack: NSIS, External with wixl, and
#      ZIP) in build-windows/, signed where a certificate is given (TORVANE_SIGN_*, see
#      packaging/windows/sign.sh), and an installer and MSI of an older version of the same tree
#      (build-windows/older/) to upgrade from;
#   5. runs the tests under Wine (tests/windows/suite_test.sh), the installer as a user would
#      (tests/windows/installer_test.sh: upgrade, the worked example, 150 % and dark mode,
#      uninstall; for the user alone; the MSI), checks the packages signed with a throw-away
#      certificate (tests/windows/signing_test.sh), prints the worked example through a CUPS
#      queue of the test's own (tests/windows/print_test.sh) and checks that the outcome
#      reaches UI Automation (tests/windows/announcement_test.sh).
# build-windows/ then belongs to the working tree's owner. TORVANE_SCREENSHOT=FILE.png keeps the
# installer test's photographs of the program's window: the worked example in FILE.png, at 150 %
# in FILE-150.png and in the dark mode in FILE-dark.png. Whatever happens, also on Ctrl-C, the
# root is unmounted and removed at the end.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/deps.sh"
source "$repo/scripts/root.sh"
source "$repo/scripts/stage.sh"

# Where the Qt cache is seen in the root, whatever the machine calls it: Qt's and the build's
# CMake files name that path.
inside_cache=/var/cache/torvane-windows
triplet=x86_64-w64-mingw32
wine64=/usr/lib/wine/wine64

# --- On the machine ---------------------------------------------------------------------

# What the root leaves behind for the machine: build-windows/ goes to the working tree's
# owner; the window's photographs to where they were asked for. Called by the cleanup, also
# after a failure.
screenshot=${TORVANE_SCREENSHOT:+$(realpath -m "$TORVANE_SCREENSHOT")}
root_on_exit() {
    root_hand_back build-windows ${screenshot:+/root/window.png "$screenshot"} \
        ${screenshot:+/root/window-150.png "${screenshot%.png}-150.png"} \
        ${screenshot:+/root/window-dark.png "${screenshot%.png}-dark.png"}
}

# --- In the Debian 13 root --------------------------------------------------------------

cxx=$triplet-g++-posix
objdump=$triplet-objdump
toolchain=$repo/cmake/mingw-w64-x86_64.cmake

# Only what the program and its tests use, with Qt's own copies of the libraries it brings
# (none is taken from the MinGW tree, whatever else is installed there), compiled a few dozen
# sources at a time (unity build); the rest is off to keep the build short, and so is -O3,
# which Qt would use for Core and Gui: -O2 throughout. The Windows platform plugin does not
# compile without OpenGL (its windows ask QOpenGLStaticContext which OpenGL they have), so
# OpenGL stays, loaded at run time (dynamic). Nor does Gui's Windows font database compile
# with DirectWrite (which print support uses too) but without Direct2D, so Direct2D stays; its
# version 1.1, which only Direct2D's own platform plugin needs, is off, and so that plugin is
# not built. The tablet events would need wintab.h, which Debian's source leaves out, as it
# does SQLite and IAccessible2. No bill of materials is written into the install.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_USE_DEFAULT_CMAKE_OPTIMIZATION_FLAGS=ON
    "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    -DBUILD_SHARED_LIBS=ON
    -DQT_UNITY_BUILD=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_BUILD_MANUAL_TESTS=OFF
    -DQT_GENERATE_SBOM=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_opengl=ON -DINPUT_opengl=dynamic -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_gif=OFF -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF
    -DFEATURE_png=ON -DFEATURE_system_png=OFF -DFEATURE_system_zlib=OFF
    -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_pcre2=ON -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_libb2=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
    -DFEATURE_androiddeployqt=OFF
)
# What Qt for Windows must hold for the program, its tests and its package.
debian_qt_files=(
    bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll bin/Qt6Test.dll
    plugins/platforms/qwindows.dll plugins/styles/qmodernwindowsstyle.dll
    lib/cmake/Qt6/qt.toolchain.cmake
)

build_program() {
    echo "== The program and its tests for Windows in build-windows/"
    stage_build windows build-windows
}

# Windows' own hardening of the program, read from its headers: ASLR anywhere in 64 bits,
# DEP, and the stack protector.
check_hardening() {
    local headers characteristics flag
    headers=$("$objdump" -p build-windows/app/torvane.exe)
    characteristics=$(sed -n '/^DllCharacteristics/,/^[^ \t]/p' <<<"$headers")
    for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
        grep -qw "$flag" <<<"$characteristics" || {
            echo "$0: torvane.exe lacks $flag" >&2
            exit 1
        }
    done
    echo "torvane.exe: $(tr -s ' \t\n' ' ' <<<"$characteristics")"
    # The stack protector's check, which MinGW keeps in libssp: imported, so called.
    grep -qw '__stack_chk_fail' <<<"$headers" || {
        echo "$0: torvane.exe has no stack protector" >&2
        exit 1
    }
}

# An installer and an MSI of an older release of the same tree, for the installer test to
# upgrade from: the program alone, built with another version number (the preset
# windows-older) in build-windows/older/; $older is its installer, the MSI beside it.
older_installer() {
    local dir=build-windows/older log=$repo/build-windows/older.log
    echo "== An installer and an MSI of an older version, to upgrade from ($log)"
    {
        stage_build windows-older "$dir" &&
            (cd "$dir" && cpack -G 'NSIS;External' -C Release)
    } >"$log" 2>&1 || {
        tail -n 40 "$log"
        return 1
    }
    older=$(ls "$dir"/Torvane-*-win64.exe)
    ls -l "$older" "${older%.exe}.msi"
}

package() {
    echo "== The installer, the MSI and the portable archive"
    packaging/windows/sign.sh --status
    (cd build-windows && cpack -C Release)
    ls -l "$installer" "${installer%.exe}.msi" "${installer%.exe}.zip"
}

in_root() {
    stage_in_root
    stage_timed "packages installed" torvane_install_packages windows

    source scripts/debian-qt.sh
    debian_qt_patches=$repo/packaging/windows/qt
    # What, beyond the options, makes the build: the toolchain file and the compiler.
    debian_qt_toolchain=$toolchain
    debian_qt_key=$("$cxx" --version | head -n 1)
    stage_timed "Qt for Windows (built, or reused)" debian_qt "$inside_cache" "$stage_qt" \
        "for $triplet" "${qt_options[@]}"

    local gcc_runtime pthread_runtime
    gcc_runtime=$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")
    pthread_runtime=$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")
    stage_timed "the program and its tests built" build_program
    check_hardening
    installer=build-windows/Torvane-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' \
        build-windows/CMakeCache.txt)-win64.exe
    stage_timed "installer and archive made" package
    stage_timed "older installer made" older_installer

    echo "== The tests under Wine ($("$wine64" --version))"
    stage_test "tests under Wine" tests/windows/suite_test.sh build-windows "$qt/bin" \
        "$gcc_runtime" "$pthread_runtime"

    echo "== The installer under Wine"
    stage_test "installer under Wine" tests/windows/installer_test.sh "$installer" \
        "$older" \
        ${TORVANE_SCREENSHOT:+"$TORVANE_SCREENSHOT"}

    echo "== The packages signed with a throw-away certificate"
    stage_test "signing" tests/windows/signing_test.sh build-windows

    echo "== Printing under Wine"
    stage_test "printing under Wine" tests/windows/print_test.sh "$installer"

    echo "== The outcome announced through UI Automation, under Wine"
    stage_test "announcement under Wine" tests/windows/announcement_test.sh "$installer"

    echo "installer: $(stat -c %s "$installer") bytes; MSI: $(stat -c %s "${installer%.exe}.msi") bytes;" \
        "zip: $(stat -c %s "${installer%.exe}.zip") bytes"
    stage_end "Windows, built, tested under Wine and packaged"
}

case ${1:-} in
    --in-root) in_root ;;
    "")
        # The certificate's settings go into the root, its files being read there (so from the
        # working tree, which is seen there at its own path); a password is not put on the
        # root's command line: it comes in a file.
        signing=()
        for setting in TORVANE_SIGN_PKCS12 TORVANE_SIGN_PASSWORD_FILE TORVANE_SIGN_PKCS11_MODULE \
            TORVANE_SIGN_PKCS11_KEY TORVANE_SIGN_PKCS11_CERT TORVANE_SIGN_TIMESTAMP; do
            [ -z "${!setting:-}" ] || signing+=("$setting=${!setting}")
        done
        [ -z "${TORVANE_SIGN_PASSWORD:-}" ] || {
            echo "$0: give the password in a file, TORVANE_SIGN_PASSWORD_FILE" >&2
            exit 2
        }
        root_stage "$stage_release" windows \
            "${TORVANE_WINDOWS_CACHE:-/var/cache/torvane-windows}" "$inside_cache" Windows \
            ${screenshot:+TORVANE_SCREENSHOT=/root/window.png} "${signing[@]}"
        ;;
    *)
        echo "usage: $0" >&2
        exit 2
        ;;
esac
