// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every control of the window checked against the figures of the layout, kept here on their
// own and written the way the window's drawing gives them: where each control stands, what
// it says, how it looks, and the way Tab walks through them.
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include "mainwindow.h"
#include "windowsupport.h"

namespace {

enum class K { Field, Button, Caption, Cell, Line };
enum class S { Plain, Section, Sub, FieldCap, Column, Cell, Balance, Line };

struct Expected {
    QString name;
    K kind;
    S style;
    int a, b, c, d;  // twips: left, top, width, height; for a line x1, y1, x2, y2
    QString text;    // for a line, its width in pixels
};

int rowTop(int n) {
    return 840 + 480 * (n - 1);
}

QList<Expected> expectedControls() {
    QList<Expected> all;
    auto add = [&all](QString name, K k, S s, int a, int b, int c, int d, QString text = {}) {
        all.append({std::move(name), k, s, a, b, c, d, std::move(text)});
    };
    auto label = [](int n) { return QStringLiteral("Label%1").arg(n); };
    add("Label1", K::Caption, S::Section, 1080, 120, 1935, 255, "CON-RODS");
    add("Label2", K::Caption, S::Column, 1080, 480, 735, 255, "Big End");
    add("Label3", K::Caption, S::Column, 2160, 480, 975, 255, "Little End");
    add("Label23", K::Caption, S::Section, 3960, 120, 1935, 255, "PISTONS");
    for (int n = 1; n <= 8; ++n) {
        const QString letter(QChar(u'A' + n - 1));
        add(label(n + 3), K::Caption, S::Column, 360, rowTop(n), 375, 255, QString::number(n));
        add(QStringLiteral("Bigend%1").arg(n), K::Field, S::Plain, 1080, rowTop(n), 735, 285);
        add(QStringLiteral("Littleend%1").arg(n), K::Field, S::Plain, 2280, rowTop(n), 735, 285);
        add(label(n + 11), K::Caption, S::Column, 4080, rowTop(n), 375, 255, letter);
        add("Piston" + letter, K::Field, S::Plain, 4800, rowTop(n), 735, 285);
    }
    const QList<std::tuple<int, QString, int, int, int>> extras = {{20, "Rings", 6480, 1560, 855},
                                                                   {46, "Locks", 6480, 2160, 855},
                                                                   {21, "Shells", 6480, 2760, 855},
                                                                   {22, "Oil", 6480, 3360, 855},
                                                                   {24, "Recip", 6240, 3960, 1095}};
    for (const auto& [caption, field, left, top, width] : extras) {
        const QString text = field == "Recip" ? "Recip. %" : field;
        add(label(caption), K::Caption, S::FieldCap, left, top, width, 255, text);
        add(field, K::Field, S::Plain, 7680, top, 735, 285);
    }
    add("Calcbutton", K::Button, S::Plain, 7560, 120, 855, 375, "Calculate");
    add("Clearbutton", K::Button, S::Plain, 7560, 600, 855, 255, "Clear");
    add("Printbutton", K::Button, S::Plain, 7560, 960, 855, 255, "Print");
    add("Line1", K::Line, S::Line, 240, 4680, 8760, 4680, "2");

    add("Label25", K::Caption, S::Section, 120, 4800, 4215, 255, "ROD-PISTON ASSEMBLIES");
    add("Label26", K::Caption, S::Column, 240, 5160, 855, 255, "Rod No.");
    add("Label27", K::Caption, S::Column, 1200, 5160, 855, 255, "Piston");
    add("Label36", K::Caption, S::Column, 2160, 5160, 855, 255, "Rod No.");
    add("Label37", K::Caption, S::Column, 3120, 5160, 855, 255, "Piston");
    const int grid[4][4] = {{29, 28, 39, 38}, {30, 33, 40, 43}, {31, 34, 41, 44}, {32, 35, 42, 45}};
    const int gridLefts[4] = {480, 1440, 2400, 3360};
    for (int row = 0; row < 4; ++row) {
        const int top = 5520 + 360 * row;
        for (int column = 0; column < 4; ++column) {
            add(label(grid[row][column]), K::Cell, S::Cell, gridLefts[column], top, 375, 255);
        }
        add(QStringLiteral("Line%1").arg(2 + row), K::Line, S::Line, 960, top + 120, 1320,
            top + 120, "2");
        add(QStringLiteral("Line%1").arg(6 + row), K::Line, S::Line, 2880, top + 120, 3240,
            top + 120, "2");
    }

    add("Label47", K::Caption, S::Section, 4680, 4800, 3615, 255, "BOB-WEIGHT CALCULATIONS");
    add("Label48", K::Caption, S::Sub, 4440, 5160, 1935, 495,
        "Optimal (may require rod re-numbering)");
    add("Label49", K::Caption, S::Sub, 6960, 5160, 2055, 495, "Retaining Rod/Cyl Numbering");
    add("Label50", K::Caption, S::Sub, 4440, 5640, 615, 255, "Rods");
    add("Label53", K::Caption, S::Sub, 5400, 5640, 1095, 255, "Bob-Weight");
    add("Label51", K::Caption, S::Sub, 7080, 5640, 615, 255, "Rods");
    add("Label54", K::Caption, S::Sub, 8040, 5640, 1095, 255, "Bob-Weight");
    add("Label70", K::Caption, S::Sub, 4080, 7680, 1335, 255, "Balance Using");
    add("Label72", K::Caption, S::Sub, 6720, 7680, 1335, 255, "Balance Using");
    add("Line10", K::Line, S::Line, 6600, 5160, 6600, 7920, "1");
    const int pins[4][4] = {{52, 62, 58, 66}, {55, 63, 59, 67}, {56, 64, 60, 68}, {57, 65, 61, 69}};
    for (int row = 0; row < 4; ++row) {
        const int top = 6000 + 360 * row;
        const QString pair = QStringLiteral("%1  %2").arg(2 * row + 1).arg(2 * row + 2);
        add(label(pins[row][0]), K::Cell, S::Cell, 4320, top, 735, 255);
        add(label(pins[row][1]), K::Cell, S::Cell, 5520, top, 855, 255);
        add(label(pins[row][2]), K::Caption, S::Cell, 6960, top, 735, 255, pair);
        add(label(pins[row][3]), K::Cell, S::Cell, 8160, top, 855, 255);
    }
    add("Label71", K::Cell, S::Balance, 5520, 7680, 855, 255);
    add("Label73", K::Cell, S::Balance, 8160, 7680, 855, 255);
    return all;
}

// Where the control stands in device-independent pixels, 15 twips each. A line of width w
// covers w pixels across, centred on it.
QRect pixelsOf(const Expected& e) {
    if (e.kind != K::Line) {
        return {e.a / 15, e.b / 15, e.c / 15, e.d / 15};
    }
    const int width = e.text.toInt();
    return e.b == e.d ? QRect(e.a / 15, e.b / 15 - width / 2, (e.c - e.a) / 15, width)
                      : QRect(e.a / 15 - width / 2, e.b / 15, width, (e.d - e.b) / 15);
}

bool allPixels(const QImage& image, const QColor& color) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != color) {
                return false;
            }
        }
    }
    return true;
}

// The first row, from the top, that holds a pixel of the colour within the rectangle; -1
// when none does.
int firstRowWith(const QImage& image, const QRect& within, const QColor& color) {
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (image.pixelColor(x, y) == color) {
                return y;
            }
        }
    }
    return -1;
}

}  // namespace

Q_DECLARE_METATYPE(Expected)

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void window() {
        QCOMPARE(window_->objectName(), QStringLiteral("Form1"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Torvane - Quillon Assistant"));
        QCOMPARE(window_->size(), QSize(615, 538));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        const QImage icon = window_->windowIcon().pixmap(32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixelColor(0, 0), QColor(Qt::black));  // a black ground
        const QColor middle = icon.pixelColor(16, 16);       // the grey crankshaft
        QVERIFY(middle.red() > 96 && middle.red() == middle.green() &&
                middle.red() == middle.blue());
    }

    void everyControlIsThere() {
        QMap<K, int> counts;
        for (const Expected& e : expectedControls()) {
            ++counts[e.kind];
        }
        const QMap<K, int> wanted = {
            {K::Field, 29}, {K::Button, 3}, {K::Caption, 43}, {K::Cell, 30}, {K::Line, 10}};
        QCOMPARE(counts, wanted);
        QCOMPARE(window_->findChildren<QWidget*>().size(), 115 + 8);  // and the areas' groups
    }

    void control_data() {
        QTest::addColumn<Expected>("e");
        for (const Expected& e : expectedControls()) {
            QTest::newRow(qPrintable(e.name)) << e;
        }
    }

    void control() {
        QFETCH(Expected, e);
        const QList<QWidget*> found = window_->findChildren<QWidget*>(e.name);
        QCOMPARE(found.size(), 1);
        QWidget* widget = found.front();
        QCOMPARE(uitest::placeInWindow(*widget), pixelsOf(e));
        QVERIFY(widget->isVisible() && widget->isEnabled());
        switch (e.kind) {
            case K::Field:
                checkField(qobject_cast<QLineEdit*>(widget));
                break;
            case K::Button:
                checkButton(qobject_cast<QPushButton*>(widget), e);
                break;
            case K::Caption:
            case K::Cell:
                checkLabel(qobject_cast<QLabel*>(widget), e);
                break;
            case K::Line:
                QVERIFY(!widget->inherits("QLabel") && !widget->inherits("QLineEdit") &&
                        !widget->inherits("QAbstractButton"));
                QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
                QVERIFY(allPixels(window_->grab(uitest::placeInWindow(*widget)).toImage(),
                                  windowText()));
                break;
        }
    }

    // Only the two sub-headings over the pin blocks take two lines; nothing is cut.
    void captionsFitTheirBoxes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        for (const Expected& e : expectedControls()) {
            if (e.kind == K::Caption) {
                const bool twoLines = e.name == "Label48" || e.name == "Label49";
                QTest::newRow(qPrintable(e.name)) << e.name << (twoLines ? 2 : 1);
            }
        }
    }

    void captionsFitTheirBoxes() {
        QFETCH(QString, name);
        QFETCH(int, lines);
        auto* label = window_->findChild<QLabel*>(name);
        const QRect room = label->contentsRect();
        const QRect needed = label->fontMetrics().boundingRect(
            room, Qt::TextWordWrap | label->alignment(), label->text());
        QCOMPARE(qRound(double(needed.height()) / label->fontMetrics().lineSpacing()), lines);
        QVERIFY2(room.contains(needed), qPrintable(QStringLiteral("%1 needs %2 x %3")
                                                       .arg(name)
                                                       .arg(needed.width())
                                                       .arg(needed.height())));
    }

    // MS Sans Serif is not on a Debian desktop, or (under Wine) only as bitmaps that do not
    // scale; Liberation Sans (fonts-liberation) stands in, named on the label itself, and is
    // the face drawn.
    void labelFaceStandsIn() {
        const QString wanted = QStringLiteral("MS Sans Serif");
        QVERIFY(!QFontDatabase::hasFamily(wanted) || !QFontDatabase::isSmoothlyScalable(wanted));
        const QFont font = window_->findChild<QLabel*>("Label48")->font();
        QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    }

    void tabWalksTheFieldsThenTheButtons() {
        QStringList order;
        for (const char* column : {"Bigend", "Littleend"}) {
            for (int n = 1; n <= 8; ++n) {
                order << QStringLiteral("%1%2").arg(column).arg(n);
            }
        }
        for (char letter = 'A'; letter <= 'H'; ++letter) {
            order << QStringLiteral("Piston%1").arg(letter);
        }
        order << "Rings"
              << "Locks"
              << "Shells"
              << "Oil"
              << "Recip"
              << "Calcbutton"
              << "Clearbutton"
              << "Printbutton"
              << "Bigend1";
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
        }
    }

  private:
    // The first of the labels' face and its stand-ins that the desktop has in outlines.
    static QString labelFace() {
        for (const char* face : {"MS Sans Serif", "Liberation Sans", "Arial", "Helvetica"}) {
            if (QFontDatabase::hasFamily(face) && QFontDatabase::isSmoothlyScalable(face)) {
                return face;
            }
        }
        return {};
    }

    QColor windowText() const { return QApplication::palette(window_.get()).windowText().color(); }

    void checkField(QLineEdit* field) {
        QVERIFY(field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(field->alignment(), Qt::AlignCenter);
        QCOMPARE(field->maxLength(), std::numeric_limits<int>::max());
        QVERIFY(!field->validator() && field->inputMask().isEmpty() && !field->isReadOnly());
        QVERIFY(!field->testAttribute(Qt::WA_SetFont));
        QVERIFY(field->focusPolicy() & Qt::TabFocus);
    }

    void checkButton(QPushButton* button, const Expected& e) {
        QVERIFY(button);
        QCOMPARE(button->text(), e.text);
        QVERIFY(QKeySequence::mnemonic(button->text()).isEmpty());
        QVERIFY(!button->autoDefault() && !button->isDefault());
        // The desktop's face, no larger than the desktop's size, with air between the
        // caption and the border.
        QCOMPARE(button->font().family(), QApplication::font().family());
        QVERIFY(button->font().pointSizeF() <= QApplication::font().pointSizeF());
        const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        QVERIFY(button->fontMetrics().horizontalAdvance(e.text) <= button->width() - 2 * frame - 2);
        QVERIFY(button->focusPolicy() & Qt::TabFocus);
    }

    void checkLabel(QLabel* label, const Expected& e) {
        QVERIFY(label);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        const QFont font = label->font();
        QCOMPARE(font.family(), labelFace());
        const bool large = e.style == S::Section || e.style == S::FieldCap;
        QCOMPARE(font.pointSizeF(), large ? 9.75 : 8.25);
        QVERIFY(font.bold());
        QCOMPARE(font.italic(),
                 e.style == S::Section || e.style == S::Sub || e.style == S::FieldCap);
        QCOMPARE(font.underline(), e.style == S::Section || e.style == S::Sub);
        const bool cell = e.style == S::Cell || e.style == S::Balance;
        QCOMPARE(label->frameShape(), cell ? QFrame::Box : QFrame::NoFrame);
        QCOMPARE(label->autoFillBackground(), cell);
        if (cell) {
            QCOMPARE(label->frameShadow(), QFrame::Plain);
            QCOMPARE(label->lineWidth(), 1);
            QCOMPARE(label->backgroundRole(), QPalette::Base);
        }
        checkLook(label, cell, e.style == S::Balance ? QColor(255, 0, 0) : windowText());
    }

    // Drawn with a figure in it: the border in the window-text colour round the field
    // background for a cell, the plain window face otherwise, and the figure in its colour.
    void checkLook(QLabel* label, bool cell, const QColor& textColor) {
        const QString kept = label->text();
        label->setText(QStringLiteral("888"));
        const QImage look = label->grab().toImage();
        label->setText(kept);
        const QPalette colours = QApplication::palette(label);
        const QRect inside = label->rect().adjusted(1, 1, -2, -2);
        QCOMPARE(look.pixelColor(0, 0), cell ? windowText() : colours.window().color());
        if (cell) {
            QCOMPARE(look.pixelColor(label->width() - 1, label->height() / 2), windowText());
            QCOMPARE(look.pixelColor(inside.bottomRight()), colours.base().color());
        }
        // The figure's top sits where the first line of the box begins, just under a border.
        const int inkTop = label->contentsRect().top() + label->fontMetrics().ascent() +
                           label->fontMetrics().tightBoundingRect(QStringLiteral("888")).top();
        QVERIFY(qAbs(firstRowWith(look, inside, textColor) - inkTop) <= 1);
        const bool red = textColor == QColor(255, 0, 0);
        QCOMPARE(firstRowWith(look, inside, QColor(255, 0, 0)) >= 0, red);
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
