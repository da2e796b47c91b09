// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The label of a balance cell: a result cell whose figure is red.
#pragma once

#include <QColor>
#include <QLabel>

class QEvent;
class QPaintEvent;
class QWidget;

namespace ui {

// A balance cell shows its figure in red, while its border keeps the colour of every other
// cell's. The red follows the desktop's palette.
class BalanceLabel final : public QLabel {
    Q_OBJECT

  public:
    explicit BalanceLabel(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    [[nodiscard]] QColor borderColour() const;
    void paintTextRed();
};

}  // namespace ui
