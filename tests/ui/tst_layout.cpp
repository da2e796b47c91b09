// Every control of the window checked against the figures of the layout, kept here on their
// own: where it stands, what it says and how it looks.
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "mainwindow.h"

namespace {

enum class K { Field, Button, Caption, Cell, Line };
enum class S { Plain, Section, Sub, FieldCap, Column, Cell, Balance, Line2, Line1 };

struct Expected {
    QString name;
    K kind;
    S style;
    int a, b, c, d;  // twips: left, top, width, height; for lines x1, y1, x2, y2
    QString text;
};

int rowTop(int n) {
    return 840 + 480 * (n - 1);
}

QList<Expected> expectedControls() {
    QList<Expected> all;
    auto add = [&all](QString name, K k, S s, int a, int b, int c, int d, QString text = {}) {
        all.append({std::move(name), k, s, a, b, c, d, std::move(text)});
    };
    add("Label1", K::Caption, S::Section, 1080, 120, 1935, 255, "CON-RODS");
    add("Label2", K::Caption, S::Column, 1080, 480, 735, 255, "Big End");
    add("Label3", K::Caption, S::Column, 2160, 480, 975, 255, "Little End");
    add("Label23", K::Caption, S::Section, 3960, 120, 1935, 255, "PISTONS");
    for (int n = 1; n <= 8; ++n) {
        const QString letter(QChar(u'A' + n - 1));
        add(QStringLiteral("Label%1").arg(n + 3), K::Caption, S::Column, 360, rowTop(n), 375, 255,
            QString::number(n));
        add(QStringLiteral("Bigend%1").arg(n), K::Field, S::Plain, 1080, rowTop(n), 735, 285);
        add(QStringLiteral("Littleend%1").arg(n), K::Field, S::Plain, 2280, rowTop(n), 735, 285);
        add(QStringLiteral("Label%1").arg(n + 11), K::Caption, S::Column, 4080, rowTop(n), 375, 255,
            letter);
        add("Piston" + letter, K::Field, S::Plain, 4800, rowTop(n), 735, 285);
    }
    const QList<std::tuple<QString, QString, QString, int, int, int>> extras = {
        {"Label20", "Rings", "Rings", 6480, 1560, 855},
        {"Label46", "Locks", "Locks", 6480, 2160, 855},
        {"Label21", "Shells", "Shells", 6480, 2760, 855},
        {"Label22", "Oil", "Oil", 6480, 3360, 855},
        {"Label24", "Recip. %", "Recip", 6240, 3960, 1095}};
    for (const auto& [caption, text, field, left, top, width] : extras) {
        add(caption, K::Caption, S::FieldCap, left, top, width, 255, text);
        add(field, K::Field, S::Plain, 7680, top, 735, 285);
    }
    add("Calcbutton", K::Button, S::Plain, 7560, 120, 855, 375, "Calculate");
    add("Clearbutton", K::Button, S::Plain, 7560, 600, 855, 255, "Clear");
    add("Printbutton", K::Button, S::Plain, 7560, 960, 855, 255, "Print");
    add("Line1", K::Line, S::Line2, 240, 4680, 8760, 4680);

    add("Label25", K::Caption, S::Section, 120, 4800, 4215, 255, "ROD-PISTON ASSEMBLIES");
    add("Label26", K::Caption, S::Column, 240, 5160, 855, 255, "Rod No.");
    add("Label27", K::Caption, S::Column, 1200, 5160, 855, 255, "Piston");
    add("Label36", K::Caption, S::Column, 2160, 5160, 855, 255, "Rod No.");
    add("Label37", K::Caption, S::Column, 3120, 5160, 855, 255, "Piston");
    const int rows[4][4] = {{29, 28, 39, 38}, {30, 33, 40, 43}, {31, 34, 41, 44}, {32, 35, 42, 45}};
    for (int r = 0; r < 4; ++r) {
        const int top = 5520 + 360 * r;
        const int lefts[4] = {480, 1440, 2400, 3360};
        for (int c = 0; c < 4; ++c) {
            add(QStringLiteral("Label%1").arg(rows[r][c]), K::Cell, S::Cell, lefts[c], top, 375,
                255);
        }
        add(QStringLiteral("Line%1").arg(2 + r), K::Line, S::Line2, 960, top + 120, 1320,
            top + 120);
        add(QStringLiteral("Line%1").arg(6 + r), K::Line, S::Line2, 2880, top + 120, 3240,
            top + 120);
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
    add("Line10", K::Line, S::Line1, 6600, 5160, 6600, 7920);
    const int pins[4][4] = {{52, 62, 58, 66}, {55, 63, 59, 67}, {56, 64, 60, 68}, {57, 65, 61, 69}};
    const QString pairs[4] = {"1  2", "3  4", "5  6", "7  8"};
    for (int r = 0; r < 4; ++r) {
        const int top = 6000 + 360 * r;
        add(QStringLiteral("Label%1").arg(pins[r][0]), K::Cell, S::Cell, 4320, top, 735, 255);
        add(QStringLiteral("Label%1").arg(pins[r][1]), K::Cell, S::Cell, 5520, top, 855, 255);
        add(QStringLiteral("Label%1").arg(pins[r][2]), K::Caption, S::Cell, 6960, top, 735, 255,
            pairs[r]);
        add(QStringLiteral("Label%1").arg(pins[r][3]), K::Cell, S::Cell, 8160, top, 855, 255);
    }
    add("Label71", K::Cell, S::Balance, 5520, 7680, 855, 255);
    add("Label73", K::Cell, S::Balance, 8160, 7680, 855, 255);
    return all;
}

QRect pixelsOf(const Expected& e) {
    if (e.kind != K::Line) {
        return {e.a / 15, e.b / 15, e.c / 15, e.d / 15};
    }
    const int width = e.style == S::Line2 ? 2 : 1;
    return e.b == e.d ? QRect(e.a / 15, e.b / 15 - width / 2, (e.c - e.a) / 15, width)
                      : QRect(e.a / 15 - width / 2, e.b / 15, width, (e.d - e.b) / 15);
}

}  // namespace

Q_DECLARE_METATYPE(K)
Q_DECLARE_METATYPE(S)

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        ui::substituteLabelFace();
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
        const QColor middle = icon.pixelColor(16, 16);
        QVERIFY(middle.red() > 96 && middle.red() == middle.green() &&
                middle.red() == middle.blue());
        QCOMPARE(window_->findChildren<QWidget*>().size(), expectedControls().size());
        QCOMPARE(expectedControls().size(), 115);
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
        QCOMPARE(widget->geometry(), pixelsOf(e));
        QVERIFY(widget->isVisible());
        QVERIFY(widget->isEnabled());
        switch (e.kind) {
            case K::Field: {
                auto* field = qobject_cast<QLineEdit*>(widget);
                QVERIFY(field);
                QCOMPARE(field->text(), QString());
                QCOMPARE(field->alignment(), Qt::AlignCenter);
                QCOMPARE(field->maxLength(), std::numeric_limits<int>::max());
                QVERIFY(!field->validator());
                QVERIFY(!field->isReadOnly());
                QVERIFY(!field->testAttribute(Qt::WA_SetFont));
                break;
            }
            case K::Button: {
                auto* button = qobject_cast<QPushButton*>(widget);
                QVERIFY(button);
                QCOMPARE(button->text(), e.text);
                QVERIFY(!button->autoDefault() && !button->isDefault());
                QVERIFY(!button->testAttribute(Qt::WA_SetFont));
                break;
            }
            case K::Caption:
            case K::Cell:
                checkLabel(qobject_cast<QLabel*>(widget), e);
                break;
            case K::Line:
                QVERIFY(!qobject_cast<QLabel*>(widget) && !qobject_cast<QLineEdit*>(widget));
                QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
                QVERIFY(window_->grab(widget->geometry()).toImage().pixelColor(0, 0) ==
                        widget->palette().color(QPalette::WindowText));
                break;
        }
    }

    void captionsFitTheirBoxes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        for (const Expected& e : expectedControls()) {
            if ((e.kind == K::Caption || e.kind == K::Cell) && !e.text.isEmpty()) {
                const bool twoLines = e.name == "Label48" || e.name == "Label49";
                QTest::newRow(qPrintable(e.name)) << e.name << (twoLines ? 2 : 1);
            }
        }
    }

    void captionsFitTheirBoxes() {
        QFETCH(QString, name);
        QFETCH(int, lines);
        auto* label = window_->findChild<QLabel*>(name);
        QVERIFY(label);
        const QFontMetrics metrics(label->font());
        const QRect room = label->contentsRect();
        const QRect needed =
            metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), label->text());
        QCOMPARE(qRound(double(needed.height()) / metrics.lineSpacing()), lines);
        QVERIFY2(needed.height() <= room.height() + 1,
                 qPrintable(QString::number(needed.height())));
        QVERIFY(needed.width() <= room.width());
    }

    void labelFaceStandsIn() {
        auto* label = window_->findChild<QLabel*>("Label1");
        QCOMPARE(label->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
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
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Bigend1"));
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Printbutton"));
    }

  private:
    void checkLabel(QLabel* label, const Expected& e) {
        QVERIFY(label);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        const QFont font = label->font();
        QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
        const bool large = e.style == S::Section || e.style == S::FieldCap;
        QCOMPARE(font.pointSizeF(), large ? 9.75 : 8.25);
        QVERIFY(font.bold());
        QCOMPARE(font.italic(),
                 e.style == S::Section || e.style == S::Sub || e.style == S::FieldCap);
        QCOMPARE(font.underline(), e.style == S::Section || e.style == S::Sub);
        const bool cell = e.style == S::Cell || e.style == S::Balance;
        QCOMPARE(label->autoFillBackground(), cell);
        const QImage look = label->grab().toImage();
        const QColor border = label->palette().color(QPalette::WindowText);
        const QColor inside = look.pixelColor(look.width() - 3, look.height() - 3);
        if (cell) {  // a thin border round the field background
            QCOMPARE(label->backgroundRole(), QPalette::Base);
            QCOMPARE(label->contentsRect(), label->rect().adjusted(1, 1, -1, -1));
            QCOMPARE(look.pixelColor(0, 0), border);
            QCOMPARE(look.pixelColor(look.width() - 1, look.height() / 2), border);
            QCOMPARE(look.pixelColor(1, 1), label->palette().color(QPalette::Base));
        } else {
            QCOMPARE(look.pixelColor(0, 0), label->palette().color(QPalette::Window));
        }
        QVERIFY(inside != border || !cell);
        const QColor shown = label->palette().color(label->foregroundRole());
        if (e.style == S::Balance) {
            QCOMPARE(shown, QColor(255, 0, 0));
        } else {
            QCOMPARE(shown, QApplication::palette(label).color(label->foregroundRole()));
            QVERIFY(shown != QColor(255, 0, 0));
        }
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
