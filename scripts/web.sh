#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program for a web browser (Qt for WebAssembly) and tests it in a headless browser,
# the same on any Debian 12 or 13 machine, as root (or with sudo):
#
#   scripts/web.sh
#
# On the machine it makes a fresh Debian 13 (trixie) root (scripts/root.sh), binds the working
# tree into it at the same path and the cache (TORVANE_WEB_CACHE, default /var/cache/torvane-web)
# at /var/cache/torvane-web, and runs itself there with --in-root, which, in the root:
#   1. installs emscripten, the root's own Qt, chromium and the rest of torvane_web_packages
#      (deps.sh);
#   2. builds Qt for WebAssembly from Debian's own qt6-base source (scripts/debian-qt.sh), at
#      the version of the root's own Qt, whose moc, rcc, uic and syncqt it uses: static, without
#      threads, optimised for size, with only the modules and features the program uses (Core,
#      Gui, Widgets and the browser's platform plugin). It goes into the cache, in a folder named
#      after Qt's version and a digest of how it was built, beside a writable copy of
#      emscripten's library cache (Debian's own is read-only), and a later run reuses both;
#   3. builds the program into build-web/, whose site/ is what a web server serves as it is:
#      the page, its scripts, the program's WebAssembly and the labels' face, the larger files
#      with their compressed copies beside them; and says how large they are, as they are and
#      compressed (gzip -9, brotli -q 11);
#   4. builds the calculation's tests for WebAssembly into build-web/calc/ and runs them under
#      Node;
#   5. tests the page in Debian's chromium, headless (tests/web/page_test.py);
#   6. with TORVANE_WEB_BENCH set, measures the page's load beside a bare window's
#      (bench/web/load.py, given TORVANE_WEB_BENCH's words as its options: "--rounds 5").
# build-web/ then belongs to the working tree's owner. TORVANE_SCREENSHOT=FILE.png keeps the
# test's pictures of the page: on the desktop in FILE.png, and with the results on a phone in
# FILE-phone.png, turned in FILE-phone-side.png and on a tablet in FILE-tablet.png. Whatever
# happens, also on Ctrl-C, the root is unmounted and removed at the end.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/deps.sh"
source "$repo/scripts/root.sh"
source "$repo/scripts/stage.sh"

# Where the cache is seen in the root, whatever the machine calls it: Qt's and the build's CMake
# files name that path.
inside_cache=/var/cache/torvane-web

# --- On the machine ---------------------------------------------------------------------

# What the root leaves behind for the machine: build-web/ goes to the working tree's owner; the
# page's picture to where it was asked for. Called by the cleanup, also after a failure.
screenshot=${TORVANE_SCREENSHOT:+$(realpath -m "$TORVANE_SCREENSHOT")}
root_on_exit() {
    local shots=() device
    if [ -n "$screenshot" ]; then
        shots=(/root/page.png "$screenshot")
        for device in phone phone-side tablet; do
            shots+=("/root/page-$device.png" "${screenshot%.png}-$device.png")
        done
    fi
    root_hand_back build-web "${shots[@]}"
}

# --- In the Debian 13 root --------------------------------------------------------------

emscripten_root=/usr/share/emscripten
emscripten_toolchain=$emscripten_root/cmake/Modules/Platform/Emscripten.cmake

# Only what the program uses, with Qt's own copies of the libraries it brings, compiled a few
# dozen sources at a time (unity build). A browser's page runs on one thread, and a static
# program carries only what it calls: no threads, no shared libraries. No print support (Qt has
# none in a browser: the page goes to the browser as a PDF, which Qt GUI writes), no network,
# SQL, D-Bus, XML, concurrency or test library, no image formats but PNG (the icon) and XPM (the
# styles' own pictures), no Markdown, HTML, CSS or ODF text, no style sheets. Of the widgets,
# those the window and its message box do not use and that Qt would link all the same, since
# its own code reaches them (the item views with all that is built on them, the graphics view,
# text editing, the main window, tabs, the dialogs but the message box, the spin boxes, tool
# buttons, menu bar, splitter, progress bar, group box, stacked widget, rubber band and size
# grip, and a few others): they take a fifth of the program's size. No MIME database either:
# Qt reaches it only to guess an icon's format from its contents. OpenGL stays: the browser's
# platform plugin does not build without it (its backing store comes with it), though the
# program draws none. No bill of materials is written into the install.
qt_options=(
    -DCMAKE_TOOLCHAIN_FILE="$emscripten_toolchain"
    -DCMAKE_BUILD_TYPE=Release
    -DQT_USE_DEFAULT_CMAKE_OPTIMIZATION_FLAGS=ON
    "-DCMAKE_C_FLAGS_RELEASE=-Oz -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-Oz -DNDEBUG"
    -DBUILD_SHARED_LIBS=OFF
    -DFEATURE_thread=OFF
    -DQT_UNITY_BUILD=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_BUILD_MANUAL_TESTS=OFF
    -DQT_GENERATE_SBOM=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_mimetype=OFF
    -DFEATURE_gif=OFF -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF -DFEATURE_imageformat_bmp=OFF
    -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF -DFEATURE_movie=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
    -DFEATURE_texthtmlparser=OFF -DFEATURE_cssparser=OFF -DFEATURE_style_stylesheet=OFF
    -DFEATURE_itemviews=OFF -DFEATURE_graphicsview=OFF -DFEATURE_textedit=OFF
    -DFEATURE_mainwindow=OFF -DFEATURE_mdiarea=OFF -DFEATURE_tabwidget=OFF -DFEATURE_tabbar=OFF
    -DFEATURE_toolbox=OFF -DFEATURE_wizard=OFF -DFEATURE_colordialog=OFF
    -DFEATURE_progressdialog=OFF -DFEATURE_splashscreen=OFF -DFEATURE_lcdnumber=OFF
    -DFEATURE_dial=OFF -DFEATURE_keysequenceedit=OFF -DFEATURE_whatsthis=OFF
    -DFEATURE_undocommand=OFF -DFEATURE_filesystemmodel=OFF -DFEATURE_systemtrayicon=OFF
    -DFEATURE_sessionmanager=OFF -DFEATURE_spinbox=OFF -DFEATURE_toolbutton=OFF
    -DFEATURE_menubar=OFF -DFEATURE_splitter=OFF -DFEATURE_progressbar=OFF -DFEATURE_groupbox=OFF
    -DFEATURE_stackedwidget=OFF -DFEATURE_rubberband=OFF -DFEATURE_sizegrip=OFF
)
# What Qt for WebAssembly must hold for the program.
debian_qt_files=(
    lib/libQt6Core.a lib/libQt6Gui.a lib/libQt6Widgets.a
    plugins/platforms/libqwasm.a plugins/platforms/qtloader.js
    lib/cmake/Qt6/qt.toolchain.cmake
)

# emscripten as Qt looks for it and as it builds: Qt's CMake files check its version in the
# folder $EMSDK names, laid out as emscripten's own SDK lays it out; emscripten compiles the
# variants of its libraries a build asks for into its cache, which Debian's package keeps
# read-only, so the build uses a copy of it, made once for each version of emscripten.
emscripten_environment() {
    local version cache
    version=$(dpkg-query -W -f='${Version}' emscripten)
    export EMSDK=$inside_cache/emsdk
    mkdir -p "$EMSDK/upstream"
    ln -sfn "$emscripten_root" "$EMSDK/upstream/emscripten"
    echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$EMSDK/.emscripten"
    cache=$inside_cache/emscripten-$version
    if [ ! -d "$cache" ]; then
        echo "== A writable copy of emscripten $version's library cache: $cache"
        rm -rf "$cache.part"
        cp -a "$emscripten_root/cache" "$cache.part"
        mv "$cache.part" "$cache"
    fi
    export EM_CACHE=$cache EM_FROZEN_CACHE=0
}

build_program() {
    echo "== The program for the browser in build-web/"
    stage_build web build-web
}

# The calculation and its tests, built for WebAssembly with the same compiler and library as the
# page, run under Node (which emscripten runs on): a second proof of the figures there.
calc_tests_in_node() {
    echo "== The calculation's tests as WebAssembly, under Node $(node --version)"
    cmake --preset web-node
    cmake --build --preset web-node
    ctest --preset web-node
}

# The size of FILE compressed: its copy's beside it, where the build made one, else COMMAND's.
compressed_size() {  # FILE SUFFIX COMMAND...
    local file=$1 suffix=$2
    shift 2
    if [ -f "$file$suffix" ]; then
        stat -c %s "$file$suffix"
    else
        "$@" -c "$file" | wc -c
    fi
}

sizes() {
    local file raw packed squeezed
    echo "== What the browser downloads (build-web/site/)"
    for file in build-web/site/torvane.wasm build-web/site/torvane.js build-web/site/qtloader.js \
        build-web/site/index.html build-web/site/fonts/*.ttf; do
        raw=$(stat -c %s "$file")
        packed=$(compressed_size "$file" .gz gzip -9)
        squeezed=$(compressed_size "$file" .br brotli -q 11)
        printf '%-40s %9d bytes, %9d gzip -9, %9d brotli\n' "${file#build-web/site/}" "$raw" \
            "$packed" "$squeezed"
    done
}

# The page's load over a slow line, beside a bare window's, with the options given.
load_bench() {
    local options
    read -ra options <<<"$TORVANE_WEB_BENCH"
    python3 bench/web/load.py --build build-web "${options[@]}"
}

in_root() {
    stage_in_root
    stage_timed "packages installed" torvane_install_packages web
    source scripts/debian-qt.sh
    debian_qt_patches=$repo/packaging/web/qt
    emscripten_environment
    # What, beyond the options, makes the build: the toolchain's text and the compiler behind
    # emcc (the toolchain's path, always the same, is among the options).
    local compiler
    compiler=$("$emscripten_root/emcc" -v 2>&1)
    debian_qt_key=$(
        cat "$emscripten_toolchain"
        dpkg-query -W -f='${Package} ${Version}\n' emscripten binaryen
        grep -m 1 'clang version' <<<"$compiler"
    )
    stage_timed "Qt for WebAssembly (built, or reused)" debian_qt "$inside_cache" "$stage_qt" \
        "for WebAssembly" "${qt_options[@]}"
    stage_timed "the program built" build_program
    stage_timed "calculation tested under Node" calc_tests_in_node
    sizes

    echo "== The page in a headless browser ($(chromium --version))"
    stage_timed "page tested in chromium" python3 tests/web/page_test.py build-web/site \
        ${TORVANE_SCREENSHOT:+--screenshot "$TORVANE_SCREENSHOT"}
    if [ -v TORVANE_WEB_BENCH ]; then
        stage_timed "load measured" load_bench
    fi

    stage_end "the browser's program, built and tested"
}

case ${1:-} in
    --in-root) in_root ;;
    "") root_stage "$stage_release" web "${TORVANE_WEB_CACHE:-/var/cache/torvane-web}" \
        "$inside_cache" "The browser's program" ${screenshot:+TORVANE_SCREENSHOT=/root/page.png} \
        ${TORVANE_WEB_BENCH+"TORVANE_WEB_BENCH=$TORVANE_WEB_BENCH"} ;;
    *)
        echo "usage: $0" >&2
        exit 2
        ;;
esac
