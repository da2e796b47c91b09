// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPicture>
#include <QPushButton>
#include <QRegion>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "areas.h"
#include "controls.h"
#include "faces.h"
#include "layout.h"
#include "layoutqt.h"
#include "platform.h"
#include "printing.h"

namespace ui {
namespace {

constexpr qreal kLogicalDpi = 96;  // device-independent pixels per inch

calc::Separators localeSeparators() {
    const QLocale locale;
    return calc::Separators{locale.decimalPoint().toStdString(),
                            locale.groupSeparator().toStdString()};
}

// The commands, in the order Tab reaches their buttons.
struct Command {
    std::string_view button;
    void (MainWindow::*run)();
};
constexpr std::array kCommands = {
    Command{"Calcbutton", &MainWindow::calculate},
    Command{"Clearbutton", &MainWindow::clear},
    Command{"Printbutton", &MainWindow::print},
};

}  // namespace

// The window as the layout table draws it: every area's group, then the controls row by row,
// each in its area's group, then the lines.
MainWindow::MainWindow(calc::RandomSource& random, QWidget* parent)
    : QWidget(parent), random_(random), announcer_(*this) {
    takeDesktopFont();
    installAccessibleInterfaces();
    setObjectName(text(kWindowName));
    setWindowTitle(text(kTitle));
    // The icon is decoded once the event loop runs, after the window is up, not before.
    // Qt's timer owns the call it is handed, which the analyser does not follow.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QTimer::singleShot(0, this,
                       [this] { setWindowIcon(QIcon(QStringLiteral(":/torvane/icon32.png"))); });
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    const AreaGroups groups(*this);
    const QString face = labelFace();
    for (const Control& control : kControls) {
        addControl(control, groups.of(control.area), face);
    }
    std::ranges::for_each(kLines, [this](const Line& line) { makeLine(line, *this); });
    connectCommands();
    chainFocus();
    fields_.front()->setFocus();
    suitKeyboard(*this);
}

// The caret starts in the first big end, put there again once the fields are shown: a platform
// that makes the window active as it makes it, before anything in it is visible (a browser's),
// would have passed the focus on from the hidden field to the next one.
void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        fields_.front()->setFocus();
    }
}

// The fields and the result cells are kept in the sheets' orders.
void MainWindow::addControl(const Control& control, QWidget& group, const QString& labelFace) {
    QWidget* widget = makeControl(control, labelFace, group, *this);
    if (control.kind == Field) {
        fields_.at(indexOf(calc::kFieldNames, control.name)) = qobject_cast<QLineEdit*>(widget);
    } else if (control.kind == Cell) {
        cells_.at(indexOf(calc::kCellNames, control.name)) = qobject_cast<QLabel*>(widget);
    }
}

void MainWindow::connectCommands() {
    for (const Command& command : kCommands) {
        connect(findChild<QPushButton*>(text(command.button)), &QPushButton::clicked, this,
                command.run);
    }
}

// Tab walks the big ends down, then the little ends, the pistons, the extras and the three
// buttons, and wraps round to the first big end.
void MainWindow::chainFocus() {
    QWidget* previous = fields_.front();
    auto follow = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    std::for_each(fields_.begin() + 1, fields_.end(), follow);
    for (const Command& command : kCommands) {
        follow(findChild<QPushButton*>(text(command.button)));
    }
}

QLineEdit* MainWindow::field(calc::Field f) const {
    return fields_.at(calc::index(f));
}

QLabel* MainWindow::cell(std::size_t index) const {
    return cells_.at(index);
}

calc::InputSheet MainWindow::gatherSheet() const {
    calc::InputSheet sheet;
    std::ranges::transform(fields_, sheet.texts.begin(),
                           [](const QLineEdit* field) { return field->text().toStdString(); });
    return sheet;
}

void MainWindow::writeCells(const calc::ResultSheet& sheet) {
    for (std::size_t i = 0; i < calc::kCellCount; ++i) {
        cells_[i]->setText(QString::fromStdString(sheet.texts[i]));
    }
}

// Says why the sheet cannot be calculated and, when one field is at fault, puts the caret
// straight back into it once the message is closed, with its text selected, so that typing
// replaces it.
void MainWindow::refuse(const calc::Failure& failure) {
    QLineEdit* atFault = failure.field ? field(*failure.field) : nullptr;
    tell(*this, QString::fromStdString(calc::message(failure)), [atFault] {
        if (atFault != nullptr) {
            atFault->setFocus(Qt::OtherFocusReason);
            atFault->selectAll();
        }
    });
}

void MainWindow::calculate() {
    const calc::InputSheet sheet = gatherSheet();
    if (const std::optional<calc::Failure> empty = calc::validate(sheet)) {
        tell(*this, QString::fromStdString(calc::message(*empty)));
        return;
    }
    const calc::Separators separators = localeSeparators();
    const calc::Outcome<calc::CalculationResult> outcome =
        calc::calculate(sheet, separators, random_);
    if (!outcome.ok()) {
        refuse(outcome.failure());
        return;
    }
    const calc::ResultSheet results = calc::render(outcome.value(), separators.decimal);
    writeCells(results);
    announcer_.announce(balanceAnnouncement(results));
}

void MainWindow::clear() {
    for (QLineEdit* field : fields_) {
        field->clear();
    }
    writeCells(calc::blankSheet());
    announcer_.announce(tr("Sheet cleared."));
}

void MainWindow::print() {
    const std::optional<QString> problem = printOnDefaultPrinter(
        windowTitle(), [this](QPagedPaintDevice& printer) { return printWindow(printer); });
    if (problem) {
        tell(*this, *problem);
    }
}

std::optional<QString> MainWindow::printWindow(QPagedPaintDevice& printer) {
    // Recorded as drawing commands, not pixels, the window prints with sharp text that
    // stays text in the printed document. What prints is the sheet as the table lays it out,
    // whatever room the window was given around it: a browser's page gives it the whole page.
    QPicture picture;
    {
        QPainter recorder(&picture);
        const QRegion sheet(0, 0, pixels(kClientWidth), pixels(kClientHeight));
        render(&recorder, QPoint(), sheet, DrawWindowBackground | DrawChildren);
    }
    const QString named = printerName(printer);
    const QString name = named.isEmpty() ? tr("the printer") : named;
    QPainter painter;
    if (!painter.begin(&printer)) {
        return tr("The window could not be printed: %1 is not ready to print.").arg(name);
    }
    // Played back, a picture scales itself from its own dots per inch to the printer's. The
    // window's pixels are 1/96 inch, so what remains makes the window print at its true
    // size, at the top left of the printable area.
    painter.scale(picture.logicalDpiX() / kLogicalDpi, picture.logicalDpiY() / kLogicalDpi);
    painter.drawPicture(0, 0, picture);
    if (!painter.end()) {
        return tr("The window could not be printed: %1 reported an error.").arg(name);
    }
    return std::nullopt;
}

}  // namespace ui
