// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The layout table (layout.h) read in Qt's terms: twips as the window's pixels, a line as the
// pixels it covers, a box of the window as seen from the group that holds it, the table's
// UTF-8 texts as QString, and a control's name as its place in the sheets' lists of fields
// and cells.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "layout.h"

namespace ui {

inline int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

inline QRect pixels(Box box) {
    return {pixels(box.left), pixels(box.top), pixels(box.width), pixels(box.height)};
}

// The pixels a line covers: as long as from one end to the other, as thick as its width,
// centred on the line.
inline QRect pixels(const Line& line) {
    const int x1 = pixels(line.x1);
    const int y1 = pixels(line.y1);
    const int x2 = pixels(line.x2);
    const int y2 = pixels(line.y2);
    const int offset = line.width / 2;
    return y1 == y2 ? QRect(x1, y1 - offset, x2 - x1, line.width)
                    : QRect(x1 - offset, y1, line.width, y2 - y1);
}

// A box given in the window's pixels, in the coordinates of a widget that stands within it.
inline QRect seenFrom(const QWidget& within, const QWidget& window, QRect box) {
    return box.translated(-within.mapTo(&window, QPoint()));
}

inline QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Where the name stands in a list of names: calc::kFieldNames or calc::kCellNames.
template <std::size_t N>
std::size_t indexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

}  // namespace ui
