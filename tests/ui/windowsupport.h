// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The worked example's weights and results as the window's texts, the weights typed into a
// window's 29 fields, for the tests and benchmarks that start from a filled-in sheet, and
// where a control stands in its window.
#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "mainwindow.h"
#include "testsupport.h"

// A test that cannot run here says why: skipped on a developer's machine, a failure where
// every test must run (TORVANE_REQUIRE_ALL_TESTS, on in CI).
#ifdef TORVANE_REQUIRE_ALL_TESTS
#define TORVANE_SKIP(reason) QFAIL("cannot run here, and every test must run: " reason)
#else
#define TORVANE_SKIP(reason) QSKIP(reason)
#endif

namespace uitest {

// The worked example's 29 weights in field order, with a decimal full stop or comma.
inline QStringList workedWeights(bool decimalComma = false) {
    QStringList texts;
    for (const workedexample::Text& field : workedexample::kFields) {
        const std::string_view text = decimalComma ? field.german : field.text;
        texts << QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    return texts;
}

// What the worked example shows in the result cells named, in the order named.
inline QStringList workedResults(const QStringList& cells, bool decimalComma = false) {
    QStringList texts;
    for (const QString& cell : cells) {
        const std::string_view text = calctest::workedResult(cell.toStdString(), decimalComma);
        texts << QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    return texts;
}

inline void typeWorkedExample(ui::MainWindow& window) {
    const calc::InputSheet sheet = calctest::workedExample();
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        window.field(calc::Field(i))->setText(QString::fromStdString(sheet.texts[i]));
    }
}

// The control's box in its window's client area, whatever area of the window holds it.
inline QRect placeInWindow(const QWidget& widget) {
    return {widget.mapTo(widget.window(), QPoint(0, 0)), widget.size()};
}

}  // namespace uitest
