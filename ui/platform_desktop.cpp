// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// On the desktop (Linux, Windows): the desktop's face as it is, and a message box that runs
// its own event loop, the call returning once it is closed.

#include <QMessageBox>

#include "platform.h"

namespace ui {

void takeDesktopFont() {}

void tell(QWidget& window, const QString& message, const std::function<void()>& closed) {
    QMessageBox box(QMessageBox::NoIcon, window.windowTitle(), message, QMessageBox::Ok, &window);
    box.setTextFormat(Qt::PlainText);  // the screen reader reads the text as the box opens
    box.exec();
    if (closed) {
        closed();
    }
}

void suitKeyboard(QWidget& /*window*/) {}

}  // namespace ui
