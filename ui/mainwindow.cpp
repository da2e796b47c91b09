#include "mainwindow.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "layout.h"

namespace ui {
namespace {

constexpr qreal kLogicalDpi = 96;  // device-independent pixels per inch
constexpr QColor kBalanceRed{255, 0, 0};

QRect pixels(const Box& box) {
    return QRect(box.left / kTwipsPerPixel, box.top / kTwipsPerPixel, box.width / kTwipsPerPixel,
                 box.height / kTwipsPerPixel);
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

// A straight solid line in the window-text colour, as wide as its style says.
class LineWidget final : public QWidget {
  public:
    LineWidget(const Control& control, QWidget* parent) : QWidget(parent) {
        const int width = control.style == ThickLine ? 2 : 1;
        const Box& ends = control.box;
        const int x1 = ends.left / kTwipsPerPixel;
        const int y1 = ends.top / kTwipsPerPixel;
        const int x2 = ends.width / kTwipsPerPixel;
        const int y2 = ends.height / kTwipsPerPixel;
        const bool horizontal = y1 == y2;
        setGeometry(horizontal ? QRect(x1, y1 - width / 2, x2 - x1, width)
                               : QRect(x1 - width / 2, y1, width, y2 - y1));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::WindowText));
    }
};

// A result cell, or a caption drawn like one: the background of an empty field, a thin
// border in the window-text colour and its text in the field-text colour, which the balance
// cells have red.
class CellLabel final : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QFont labelFont(Style style) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    const bool large = style == SectionHeading || style == FieldCaption;
    font.setPointSizeF(large ? 9.75 : 8.25);
    font.setBold(true);
    font.setItalic(style == SectionHeading || style == SubHeading || style == FieldCaption);
    font.setUnderline(style == SectionHeading || style == SubHeading);
    return font;
}

QLabel* makeLabel(const Control& control, QWidget* parent) {
    const bool cell = control.style == CellStyle || control.style == BalanceCell;
    QLabel* label =
        cell ? new CellLabel(text(control.text), parent) : new QLabel(text(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(labelFont(control.style));
    if (cell) {
        label->setContentsMargins(1, 1, 1, 1);  // inside the border
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Base);
        label->setForegroundRole(QPalette::Text);
    }
    if (control.style == BalanceCell) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Text, kBalanceRed);
        label->setPalette(palette);
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
    // Set as plain text: no '&' in a caption may become an access key.
    button->setText(text(control.text).replace(u'&', QStringLiteral("&&")));
    button->setAutoDefault(false);
    button->setDefault(false);
    // Reached by Tab, but a click leaves the caret in the field being typed into.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QWidget* makeControl(const Control& control, QWidget* parent) {
    switch (control.kind) {
        case Field:
            return makeField(parent);
        case Button:
            return makeButton(control, parent);
        case Caption:
        case Cell:
            return makeLabel(control, parent);
        case Line:
            break;
    }
    return new LineWidget(control, parent);
}

template <std::size_t N>
std::size_t indexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

calc::Separators localeSeparators() {
    const QLocale locale;
    return calc::Separators{utf8(locale.decimalPoint()), utf8(locale.groupSeparator())};
}

}  // namespace

void substituteLabelFace() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
}

MainWindow::MainWindow(calc::RandomSource& random, QWidget* parent)
    : QWidget(parent), random_(random) {
    setObjectName(text(kWindowName));
    setWindowTitle(text(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/torvane/icon32.png")));
    setFixedSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
    buildControls();
    chainFocus();
    fields_.front()->setFocus();
}

void MainWindow::buildControls() {
    for (const Control& control : kControls) {
        QWidget* widget = makeControl(control, this);
        widget->setObjectName(text(control.name));
        if (control.kind != Line) {
            widget->setGeometry(pixels(control.box));
        }
        if (const std::size_t f = indexOf(calc::kFieldNames, control.name); f < calc::kFieldCount) {
            fields_[f] = static_cast<QLineEdit*>(widget);
        } else if (const std::size_t c = indexOf(calc::kCellNames, control.name);
                   c < calc::kCellCount) {
            cells_[c] = static_cast<QLabel*>(widget);
        } else if (const std::size_t b = indexOf(kButtonNames, control.name);
                   b < kButtonNames.size()) {
            buttons_[b] = static_cast<QPushButton*>(widget);
        }
    }
    connect(buttons_[0], &QPushButton::clicked, this, &MainWindow::calculate);
    connect(buttons_[1], &QPushButton::clicked, this, &MainWindow::clear);
    connect(buttons_[2], &QPushButton::clicked, this, &MainWindow::print);
}

// Tab walks the big ends down, then the little ends, the pistons, the extras, and the three
// buttons, and wraps round to the first big end.
void MainWindow::chainFocus() {
    QWidget* previous = nullptr;
    auto append = [&previous](QWidget* next) {
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    };
    std::for_each(fields_.begin(), fields_.end(), append);
    std::for_each(buttons_.begin(), buttons_.end(), append);
}

QLineEdit* MainWindow::field(calc::Field f) const {
    return fields_[calc::index(f)];
}

QLabel* MainWindow::cell(std::size_t index) const {
    return cells_.at(index);
}

calc::InputSheet MainWindow::gatherSheet() const {
    calc::InputSheet sheet;
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        sheet.texts[i] = utf8(fields_[i]->text());
    }
    return sheet;
}

void MainWindow::writeCells(const calc::ResultSheet& sheet) {
    for (std::size_t i = 0; i < calc::kCellCount; ++i) {
        cells_[i]->setText(QString::fromStdString(sheet.texts[i]));
    }
}

void MainWindow::tell(const QString& message) {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), message, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MainWindow::calculate() {
    const calc::InputSheet sheet = gatherSheet();
    if (const std::optional<calc::Failure> empty = calc::validate(sheet)) {
        tell(QString::fromStdString(calc::message(*empty)));
        return;
    }
    const calc::Separators separators = localeSeparators();
    const calc::Outcome<calc::CalculationResult> outcome =
        calc::calculate(sheet, separators, random_);
    if (!outcome.ok()) {
        const calc::Failure& failure = outcome.failure();
        tell(QString::fromStdString(calc::message(failure)));
        if (failure.field) {
            // Straight back to the text at fault, selected, so that typing replaces it.
            QLineEdit* atFault = field(*failure.field);
            atFault->setFocus(Qt::OtherFocusReason);
            atFault->selectAll();
        }
        return;
    }
    writeCells(calc::render(outcome.value(), separators.decimal));
}

void MainWindow::clear() {
    for (QLineEdit* f : fields_) {
        f->clear();
    }
    writeCells(calc::blankSheet());
}

void MainWindow::print() {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        tell(
            tr("There is no printer to print on. Set up a default printer, then press "
               "Print again."));
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    if (const std::optional<QString> problem = printOnto(printer)) {
        tell(*problem);
    }
}

std::optional<QString> MainWindow::printOnto(QPrinter& printer) {
    // Recorded as drawing commands, not pixels, the window prints with sharp text that
    // stays text in the printed document.
    QPicture picture;
    {
        QPainter recorder(&picture);
        render(&recorder, QPoint(), QRegion(), DrawWindowBackground | DrawChildren);
    }
    const QString name =
        printer.printerName().isEmpty() ? tr("the printer") : printer.printerName();
    QPainter painter;
    if (!painter.begin(&printer)) {
        return tr("The window could not be printed: %1 is not ready to print.").arg(name);
    }
    // The window's pixels are 1/96 inch. Played back, a picture scales itself from its own
    // dots per inch to the printer's; what remains makes the window print at its true size,
    // at the top left of the printable area.
    painter.scale(picture.logicalDpiX() / kLogicalDpi, picture.logicalDpiY() / kLogicalDpi);
    painter.drawPicture(0, 0, picture);
    if (!painter.end()) {
        return tr("The window could not be printed: %1 reported an error.").arg(name);
    }
    return std::nullopt;
}

}  // namespace ui
