// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The faces and sizes of the window's texts: the labels' face, chosen once, and its font in
// each label style; the buttons keep the desktop's face, made smaller where a caption needs it.
#pragma once

#include <QFont>
#include <QString>

#include "layout.h"

class QPushButton;

namespace ui {

// The labels' face is MS Sans Serif; where it is missing, a sans-serif face of like metrics
// stands in. A face shipped with the program comes first. Empty for the desktop's own
// sans-serif face.
[[nodiscard]] QString labelFace();

// The font of a label in the given style, in the face labelFace() chose.
[[nodiscard]] QFont labelFont(Style style, const QString& face);

// A button keeps the desktop's face, a little smaller where its caption would otherwise run
// into the button's border, as "Calculate" does in a face as wide as DejaVu Sans.
void fitCaption(QPushButton& button, const QString& caption, int width);

}  // namespace ui
