// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The worked example's weights typed into a window's 29 fields, for the tests and benchmarks
// that start from a filled-in sheet, and where a control stands in its window.
#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>
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
