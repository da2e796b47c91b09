// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The worked example's weights typed into a window's 29 fields, for the tests and benchmarks
// that start from a filled-in sheet.
#pragma once

#include <QLineEdit>
#include <QString>

#include "mainwindow.h"
#include "testsupport.h"

namespace uitest {

inline void typeWorkedExample(ui::MainWindow& window) {
    const calc::InputSheet sheet = calctest::workedExample();
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        window.field(calc::Field(i))->setText(QString::fromStdString(sheet.texts[i]));
    }
}

}  // namespace uitest
