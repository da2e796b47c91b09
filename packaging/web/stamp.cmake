# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Stamps the page's folder with its build's version, once its files are built (cmake -P):
#   -DSITE=folder -DSOURCE=packaging/web -DFILES=a;b -DFACES=x;y -DTITLE=...
#   -DSHEET_WIDTH=px -DSHEET_HEIGHT=px -DTHEME=#rrggbb -DBACKGROUND=#rrggbb
# The version is a digest of the files the page loads (FILES, relative to SITE), of the
# templates and of this script: the same build gives the same version, any change a new one.
# index.html, manifest.webmanifest and sw.js are written from their templates with it, and
# fonts.json names the faces FACES (in fonts/, as .ttf) by their versioned addresses.

set(digests)
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${digest} ${file}\n")
endforeach()
foreach(template index.html manifest.webmanifest sw.js stamp.cmake)
    file(SHA256 ${SOURCE}/${template} digest)
    string(APPEND digests "${digest} ${template}\n")
endforeach()
string(APPEND digests "${TITLE} ${SHEET_WIDTH}x${SHEET_HEIGHT} ${THEME} ${BACKGROUND}\n")
string(SHA256 TORVANE_VERSION "${digests}")
string(SUBSTRING ${TORVANE_VERSION} 0 16 TORVANE_VERSION)

set(preloads)
foreach(face IN LISTS FACES)
    set(source "fonts/${face}.ttf?v=${TORVANE_VERSION}")
    list(APPEND preloads "{\"source\": \"${source}\", \"destination\": \"/fonts/${face}.ttf\"}")
endforeach()
list(JOIN preloads ",\n  " preloads)
file(WRITE ${SITE}/fonts.json "[\n  ${preloads}\n]\n")

# What the service worker keeps: every file above, fonts.json and the manifest.
set(cached)
foreach(file IN LISTS FILES ITEMS fonts.json manifest.webmanifest)
    list(APPEND cached "\"${file}\"")
endforeach()
list(JOIN cached ", " TORVANE_CACHED)

set(TORVANE_TITLE ${TITLE})
set(TORVANE_SHEET_WIDTH ${SHEET_WIDTH})
set(TORVANE_SHEET_HEIGHT ${SHEET_HEIGHT})
set(TORVANE_THEME ${THEME})
set(TORVANE_BACKGROUND ${BACKGROUND})
foreach(template index.html manifest.webmanifest sw.js)
    configure_file(${SOURCE}/${template} ${SITE}/${template} @ONLY)
endforeach()
