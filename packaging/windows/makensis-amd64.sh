#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# makensis making a 64-bit installer: NSIS's amd64-unicode stubs and plugins, set before the
# script is read (CPack splits an argument of its own at its blanks).
exec makensis "-XTarget amd64-unicode" "$@"
