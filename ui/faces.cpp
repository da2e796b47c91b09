// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "faces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr qreal kLargePointSize = 9.75;  // section headings and field captions
constexpr qreal kSmallPointSize = 8.25;  // everything else

// A face shipped in a fonts folder beside the program, which the Windows package has: the
// face the labels have on Linux, so that every text fits its box there as here. None is
// shipped on Linux, where the folder is not there.
QString shippedFace() {
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    QString family;
    for (const QString& file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files)) {
        const int id = QFontDatabase::addApplicationFont(folder.filePath(file));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (family.isEmpty() && !families.isEmpty()) {
            family = families.front();
        }
    }
    return family;
}

}  // namespace

// Chosen once, so that no label's font is looked for under a name the desktop does not have
// before its stand-in is found. A face that comes only as bitmaps at a few sizes (Wine's MS
// Sans Serif) is passed over: drawn at the labels' sizes it would be another face's or a
// scaled bitmap's.
QString labelFace() {
    if (QString shipped = shippedFace(); !shipped.isEmpty()) {
        return shipped;
    }
    // The installed families as listed, not hasFamily(), which asks the font configuration
    // about every name it is given.
    const QStringList installed = QFontDatabase::families();
    for (const char* face : {"MS Sans Serif", "Liberation Sans", "Arial", "Helvetica"}) {
        QString name = QLatin1String(face);  // returned by moving
        if (installed.contains(name, Qt::CaseInsensitive) &&
            QFontDatabase::isSmoothlyScalable(name)) {
            return name;
        }
    }
    return {};  // the desktop's own sans-serif face
}

QFont labelFont(Style style, const QString& face) {
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    const bool large = style == SectionHeading || style == FieldCaption;
    font.setPointSizeF(large ? kLargePointSize : kSmallPointSize);
    font.setBold(true);
    font.setItalic(style == SectionHeading || style == SubHeading || style == FieldCaption);
    font.setUnderline(style == SectionHeading || style == SubHeading);
    return font;
}

void fitCaption(QPushButton& button, const QString& caption, int width) {
    constexpr qreal kSmallest = 6;
    constexpr qreal kStep = 0.25;
    const int room = width - 2 * button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 2;
    QFont font = button.font();
    const int needed = QFontMetrics(font).horizontalAdvance(caption);
    if (needed <= room) {
        return;
    }
    // A caption's width goes nearly as its point size: one guess, then a step or two down,
    // each size costing a lookup of the face at that size.
    const qreal guess = std::floor(font.pointSizeF() * room / needed / kStep) * kStep;
    font.setPointSizeF(std::max(kSmallest, guess));
    while (QFontMetrics(font).horizontalAdvance(caption) > room && font.pointSizeF() > kSmallest) {
        font.setPointSizeF(font.pointSizeF() - kStep);
    }
    button.setFont(font);
}

}  // namespace ui
