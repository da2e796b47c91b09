// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How assistive technology reads the window: the window as a frame named by its title, each
// result cell as what it holds followed by its figure, each field's text whole, and short
// spoken notices of what a command did.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include "resultsheet.h"

namespace ui {

// An area of the window: to assistive technology a group of the controls within it, named by
// its heading. It draws nothing and takes no input of its own.
class AreaGroup final : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;
};

// Installs the window's own accessible interfaces; installed once, however often called.
void installAccessibleInterfaces();

// A cell's text as a screen reader says it: the two rods of a crankpin, "8  7", as "8 and 7".
[[nodiscard]] QString spokenFigure(const QString& text);

// What the engine builder came for, said as the figures appear: the two bob-weights to
// balance with, each with the rod numbering it holds for.
[[nodiscard]] QString balanceAnnouncement(const calc::ResultSheet& results);

// Tells the desktop's screen reader a short message, politely: after what it is saying,
// without moving the focus and without changing anything on screen. The message goes out
// once the window has been still for a moment: a screen reader handed a burst of changes,
// as Clear empties 29 fields, drops the notices that come within it. A newer message
// replaces one still waiting.
class Announcer final {
  public:
    explicit Announcer(QWidget& window);

    void announce(const QString& message);

  private:
    void waitForStill(QWidget& window);
    void tell();

    QTimer settle_;
    QString message_;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QWidget& window_;
#else
    QObject* notice_;  // an unseen notification, shown anew with each message; owned by the window
#endif
};

}  // namespace ui
