// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "balancelabel.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr QColor kBalanceRed{255, 0, 0};

// The relative luminance of a colour on an sRGB screen, 0 for black to 1 for white.
qreal luminance(const QColor& colour) {
    auto linear = [](qreal c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

qreal contrast(const QColor& a, const QColor& b) {
    const qreal la = luminance(a);
    const qreal lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Pure red, as on the classic white field; on any other background it is lightened or
// darkened, still red, until it stands out from it at least as well as pure red does on white.
QColor balanceRed(const QColor& background) {
    const qreal wanted = contrast(kBalanceRed, Qt::white);
    const bool lighten = luminance(background) < luminance(kBalanceRed);
    QColor red = kBalanceRed;
    for (int step = 5; step <= 255 && contrast(red, background) < wanted; step += 5) {
        red = lighten ? QColor(255, step, step) : QColor(255 - step, 0, 0);
    }
    return red;
}

}  // namespace

BalanceLabel::BalanceLabel(QWidget* parent) : QLabel(parent) {
    setForegroundRole(QPalette::Text);  // once: setting a role tells of a palette change
    paintTextRed();
}

void BalanceLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    QPainter painter(this);
    qDrawPlainRect(&painter, rect(), borderColour(), lineWidth());
}

void BalanceLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        paintTextRed();
    }
}

// The colour every other cell's border and text take from the palette.
QColor BalanceLabel::borderColour() const {
    return (parentWidget() != nullptr ? parentWidget()->palette() : QApplication::palette())
        .color(QPalette::Text);
}

void BalanceLabel::paintTextRed() {
    const QColor red = balanceRed(palette().color(QPalette::Base));
    if (palette().color(QPalette::Text) != red) {  // setting it again changes nothing
        QPalette reddened;  // only the text colour set: the rest still follows the desktop
        reddened.setColor(QPalette::Text, red);
        setPalette(reddened);
    }
}

}  // namespace ui
