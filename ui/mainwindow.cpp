// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QPicture>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "accessibility.h"
#include "balancelabel.h"
#include "faces.h"
#include "layout.h"
#include "platform.h"
#include "printing.h"

namespace ui {
namespace {

constexpr qreal kLogicalDpi = 96;  // device-independent pixels per inch

int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

QRect pixels(Box box) {
    return {pixels(box.left), pixels(box.top), pixels(box.width), pixels(box.height)};
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The pixels a line covers: as long as from one end to the other, as thick as its width,
// centred on the line.
QRect pixels(const Line& line) {
    const int x1 = pixels(line.x1);
    const int y1 = pixels(line.y1);
    const int x2 = pixels(line.x2);
    const int y2 = pixels(line.y2);
    const int offset = line.width / 2;
    return y1 == y2 ? QRect(x1, y1 - offset, x2 - x1, line.width)
                    : QRect(x1 - offset, y1, line.width, y2 - y1);
}

// A straight solid line in the window-text colour. It takes no focus and no input.
class LineWidget final : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::WindowText));
    }
};

bool isCell(Style style) {
    return style == CellStyle || style == BalanceCell;
}

// A thin border round the background of an empty field, the text just under the border.
void dressAsCell(QLabel& label) {
    label.setFrameStyle(QFrame::Box | QFrame::Plain);
    label.setLineWidth(1);
    label.setIndent(0);
    label.setAutoFillBackground(true);
    label.setBackgroundRole(QPalette::Base);
}

QLabel* makeLabel(const Control& control, const QString& face, QWidget* parent) {
    QLabel* label = control.style == BalanceCell ? new BalanceLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);  // no markup, and no '&' becomes an access key
    label->setText(text(control.text));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(labelFont(control.style, face));
    if (isCell(control.style)) {
        dressAsCell(*label);
    }
    return label;
}

QLineEdit* makeField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

QPushButton* makeButton(const Control& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    // Doubled, an '&' shows as itself instead of making an access key.
    button->setText(text(control.text).replace(u'&', QStringLiteral("&&")));
    fitCaption(*button, text(control.text), pixels(control.box.width));
    button->setAutoDefault(false);  // Enter in a field presses nothing
    button->setDefault(false);
    return button;
}

QWidget* makeWidget(const Control& control, const QString& labelFace, QWidget* parent) {
    switch (control.kind) {
        case Field:
            return makeField(parent);
        case Button:
            return makeButton(control, parent);
        case Caption:
        case Cell:
            break;
    }
    return makeLabel(control, labelFace, parent);
}

std::string_view cellDescription(std::string_view cell) {
    const auto* const found = std::ranges::find(kCellDescriptions, cell, &CellDescription::cell);
    return found == kCellDescriptions.end() ? std::string_view() : found->description;
}

const Group& groupOf(Area area) {
    return *std::ranges::find(kGroups, area, &Group::area);
}

// The pixels of the window that an area's controls cover, those of the areas within it
// included.
QRect coveredBy(Area area) {
    QRect covered;
    for (const Control& control : kControls) {
        if (control.area == area || groupOf(control.area).within == area) {
            covered |= pixels(control.box);
        }
    }
    return covered;
}

QString groupName(const Group& group) {
    if (group.heading.empty()) {
        return text(group.name);
    }
    return text(std::ranges::find(kControls, group.heading, &Control::name)->text);
}

std::size_t slot(Area area) {
    return static_cast<std::size_t>(area);
}

std::string_view captionName(std::string_view caption) {
    const auto* const found = std::ranges::find(kCaptionNames, caption, &CaptionName::caption);
    return found == kCaptionNames.end() ? std::string_view() : found->name;
}

template <std::size_t N>
std::size_t indexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

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
    std::ranges::for_each(kGroups, [this](const Group& group) { addGroup(group); });
    const QString face = labelFace();
    std::ranges::for_each(kControls,
                          [this, &face](const Control& control) { addControl(control, face); });
    std::ranges::for_each(kLines, [this](const Line& line) { addLine(line); });
    connectCommands();
    chainFocus();
    fields_.front()->setFocus();
}

// An area's group covers its controls and no more; one within another area stands in that
// area's group.
void MainWindow::addGroup(const Group& group) {
    QWidget* parent =
        group.within == group.area ? static_cast<QWidget*>(this) : groups_.at(slot(group.within));
    auto* widget = new AreaGroup(parent);
    const QString name = groupName(group);
    widget->setObjectName(name);
    widget->setAccessibleName(name);
    widget->setGeometry(coveredBy(group.area).translated(-parent->mapTo(this, QPoint())));
    groups_.at(slot(group.area)) = widget;
}

// Each control stands in its area's group, at its own place in the window.
void MainWindow::addControl(const Control& control, const QString& labelFace) {
    QWidget* group = groups_.at(slot(control.area));
    QWidget* widget = makeWidget(control, labelFace, group);
    widget->setObjectName(text(control.name));
    widget->setGeometry(pixels(control.box).translated(-group->mapTo(this, QPoint())));
    if (control.kind == Field) {
        const std::size_t i = indexOf(calc::kFieldNames, control.name);
        fields_.at(i) = qobject_cast<QLineEdit*>(widget);
        widget->setAccessibleName(text(calc::kFieldCaptions.at(i)));
    } else if (control.kind == Cell) {
        cells_.at(indexOf(calc::kCellNames, control.name)) = qobject_cast<QLabel*>(widget);
        widget->setAccessibleDescription(text(cellDescription(control.name)));
    } else if (control.kind == Button) {
        widget->setAccessibleName(text(control.text));
    } else if (const std::string_view name = captionName(control.name); !name.empty()) {
        widget->setAccessibleName(text(name));
    }
}

void MainWindow::addLine(const Line& line) {
    auto* widget = new LineWidget(this);
    widget->setObjectName(text(line.name));
    widget->setGeometry(pixels(line));
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

#include "mainwindow.moc"
