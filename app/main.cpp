// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Opens the window and waits for the engine builder. The command line is not read: only the
// program's own name is handed on, so not even Qt's options take effect.
#include <QApplication>

#include "mainwindow.h"

int main(int /*argc*/, char* argv[]) {
    int programNameOnly = 1;
    QApplication application(programNameOnly, argv);
    calc::PivotGenerator pivots;  // one generator for every sort of the run
    ui::MainWindow window(pivots);
    window.show();
    return QApplication::exec();
}
