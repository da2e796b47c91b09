// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one window of the program: 29 fields, three commands, the captions and result cells.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "accessibility.h"
#include "calculation.h"
#include "layout.h"
#include "resultsheet.h"

class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPushButton;
class QShowEvent;

namespace ui {

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    // The window draws the sort's pivots from random, which must outlive it.
    explicit MainWindow(calc::RandomSource& random, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit* field(calc::Field field) const;
    [[nodiscard]] QLabel* cell(std::size_t index) const;  // in the order of calc::kCellNames

    // The window as it stands, at its true size, onto the given printer or PDF file. Returns
    // the reason in plain words when it could not be printed.
    [[nodiscard]] std::optional<QString> printWindow(QPagedPaintDevice& printer);

  public slots:
    void calculate();
    void clear();
    void print();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void addControl(const Control& control, QWidget& group, const QString& labelFace);
    void connectCommands();
    void chainFocus();
    [[nodiscard]] calc::InputSheet gatherSheet() const;
    void writeCells(const calc::ResultSheet& sheet);
    void refuse(const calc::Failure& failure);

    calc::RandomSource& random_;
    std::array<QLineEdit*, calc::kFieldCount> fields_{};
    std::array<QLabel*, calc::kCellCount> cells_{};
    Announcer announcer_;
};

}  // namespace ui
