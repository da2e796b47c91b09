// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <string_view>

#include "balancelabel.h"
#include "faces.h"
#include "fields.h"
#include "layoutqt.h"

namespace ui {
namespace {

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

std::string_view captionName(std::string_view caption) {
    const auto* const found = std::ranges::find(kCaptionNames, caption, &CaptionName::caption);
    return found == kCaptionNames.end() ? std::string_view() : found->name;
}

// A field by its caption on the sheet, a button by its own; a result cell is described by
// what it holds, which a screen reader says before its figure; a pin-pair caption is named by
// its pin and rods.
void nameForAssistiveTechnology(QWidget& widget, const Control& control) {
    if (control.kind == Field) {
        widget.setAccessibleName(
            text(calc::kFieldCaptions.at(indexOf(calc::kFieldNames, control.name))));
    } else if (control.kind == Cell) {
        widget.setAccessibleDescription(text(cellDescription(control.name)));
    } else if (control.kind == Button) {
        widget.setAccessibleName(text(control.text));
    } else if (const std::string_view name = captionName(control.name); !name.empty()) {
        widget.setAccessibleName(text(name));
    }
}

}  // namespace

QWidget* makeControl(const Control& control, const QString& labelFace, QWidget& group,
                     const QWidget& window) {
    QWidget* widget = makeWidget(control, labelFace, &group);
    widget->setObjectName(text(control.name));
    widget->setGeometry(seenFrom(group, window, pixels(control.box)));
    nameForAssistiveTechnology(*widget, control);
    return widget;
}

void makeLine(const Line& line, QWidget& window) {
    auto* widget = new LineWidget(&window);
    widget->setObjectName(text(line.name));
    widget->setGeometry(pixels(line));
}

}  // namespace ui

#include "controls.moc"
