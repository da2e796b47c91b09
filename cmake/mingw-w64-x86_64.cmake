# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers, the ones with POSIX
# threads (packages g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64). Used both for
# Qt itself and, chainloaded by Qt's own toolchain file, for the program (scripts/windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(TORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVANE_MINGW_TRIPLET}-windres)

# Headers, libraries and packages come from the MinGW tree (and the prefixes Qt adds) only,
# never from the build machine's own /usr: Linux's CUPS, zlib or libpng must not be found.
# Programs (the host's moc, rcc, uic and the like) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
