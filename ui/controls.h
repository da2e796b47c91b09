// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's controls made from the rows of the layout table (layout.h): fields, buttons,
// captions, result cells and lines, each named, placed and dressed as its row says.
#pragma once

#include <QString>

#include "layout.h"

class QWidget;

namespace ui {

// The control of the row, made in its area's group at its place in the window, named as in
// the table and, to assistive technology, as the engine builder says it. Labels take the face
// given (labelFace(), faces.h).
QWidget* makeControl(const Control& control, const QString& labelFace, QWidget& group,
                     const QWidget& window);

// The line of the row, drawn on the window itself.
void makeLine(const Line& line, QWidget& window);

}  // namespace ui
