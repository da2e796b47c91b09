// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// In a browser. Qt brings one face there, DejaVu Sans, the face of a Linux desktop, but at
// Qt's own default size (12 points), larger than any desktop's (9 points on Linux and
// Windows), which leaves a figure such as "297.5" no room in its field.
//
// A page's code runs in calls from the browser, each finished before the browser draws or
// hands on the next key: no call can wait for a box to be closed. A nested event loop, as
// QDialog::exec() runs, would need the whole program rebuilt to suspend itself (asyncify,
// which makes it much larger and slower) or a suspending call not every browser has (JSPI);
// without either, Qt stops the program. So the box is shown and the call returns, and what
// comes after the box runs once it is closed.

#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include "platform.h"

namespace ui {

void takeDesktopFont() {
    constexpr int kDesktopPointSize = 9;
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), kDesktopPointSize));
}

void tell(QWidget& window, const QString& message, const std::function<void()>& closed) {
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, window.windowTitle(), message, QMessageBox::Ok, &window);
    box->setTextFormat(Qt::PlainText);  // the screen reader reads the text as the box opens
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);  // as on the desktop, where exec() makes it so
    if (closed) {
        QObject::connect(box, &QDialog::finished, &window, closed);
    }
    box->show();
}

}  // namespace ui
