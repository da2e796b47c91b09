// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The least a Qt 6 Widgets program does to put a window on the screen: one label in one
// window, of the same size and title as Torvane's. The start-up benchmark measures the
// program against it.
#include <QApplication>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "layout.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(
        QString::fromUtf8(ui::kTitle.data(), static_cast<qsizetype>(ui::kTitle.size())));
    window.setFixedSize(ui::kClientWidth / ui::kTwipsPerPixel,
                        ui::kClientHeight / ui::kTwipsPerPixel);
    const QLabel label(QStringLiteral("CON-RODS"), &window);
    window.show();
    return QApplication::exec();
}
