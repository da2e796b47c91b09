// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window under the desktop's colours: its face, fields and texts come from the palette,
// and under a dark one every caption, field text, cell text and line still stands out from
// what is behind it, measured on the drawn pixels, with the two balance figures still red.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <map>
#include <memory>

#include "mainwindow.h"
#include "windowsupport.h"

namespace {

QPalette paletteOf(const QColor& window, const QColor& windowText, const QColor& base,
                   const QColor& text) {
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, windowText);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, windowText);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Midlight, window.lighter(125));
    p.setColor(QPalette::Mid, window.darker(130));
    p.setColor(QPalette::Dark, window.darker(160));
    p.setColor(QPalette::Shadow, Qt::black);
    return p;
}

double luminance(const QColor& c) {
    auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most of the area is painted in.
QColor commonest(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first);
}

// The pixel of the area that stands out most from the colour behind it: the core of the ink.
QColor strongestInk(const QImage& image, const QRect& area, const QColor& behind) {
    QColor ink = behind;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (contrast(c, behind) > contrast(ink, behind)) {
                ink = c;
            }
        }
    }
    return ink;
}

bool isRed(const QColor& c) {
    return c.red() >= 200 && c.red() > 2 * c.green() && c.red() > 2 * c.blue();
}

// What pure red on white gives, the least a balance figure may stand out by.
const double kRedOnWhite = contrast(Qt::red, Qt::white);
constexpr double kReadable = 4.5;

}  // namespace

class PaletteTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        window_.reset();
        QApplication::setPalette(QPalette());
    }

    void everyTextStandsOut_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << paletteOf(QColor(240, 240, 240), Qt::black, Qt::white, Qt::black);
        QTest::newRow("dark") << paletteOf(QColor(53, 53, 53), QColor(238, 238, 236),
                                           QColor(35, 35, 35), QColor(238, 238, 236));
        QTest::newRow("black") << paletteOf(Qt::black, Qt::white, Qt::black, Qt::white);
        QTest::newRow("dark face, light fields") << paletteOf(
            QColor(45, 45, 60), QColor(230, 230, 230), QColor(250, 250, 250), QColor(20, 20, 20));
    }

    void everyTextStandsOut() {
        QFETCH(QPalette, palette);
        const QImage shot = calculatedUnder(palette);
        QCOMPARE(commonest(shot, shot.rect()), palette.color(QPalette::Window));

        for (QLabel* label : window_->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) {
                continue;
            }
            const bool cell = label->frameShape() == QFrame::Box;
            const QRect box = uitest::placeInWindow(*label);
            const QRect inside = box.adjusted(label->frameWidth(), label->frameWidth(),
                                              -label->frameWidth(), -label->frameWidth());
            const QColor behind = commonest(shot, inside);
            QCOMPARE(behind, palette.color(cell ? QPalette::Base : QPalette::Window));
            const QColor ink = strongestInk(shot, inside, behind);
            const bool balance =
                label->objectName() == "Label71" || label->objectName() == "Label73";
            const double wanted = balance ? kRedOnWhite - 0.01 : kReadable;
            QVERIFY2(contrast(ink, behind) >= wanted,
                     qPrintable(QStringLiteral("%1: %2 on %3, contrast %4")
                                    .arg(label->objectName(), ink.name(), behind.name())
                                    .arg(contrast(ink, behind))));
            QCOMPARE(isRed(ink), balance);
            if (cell) {  // the border shows against the field colour it surrounds
                const QColor border = shot.pixelColor(box.left(), box.center().y());
                QVERIFY2(contrast(border, palette.color(QPalette::Base)) >= kReadable,
                         qPrintable(label->objectName()));
                QVERIFY(!isRed(border));
            }
        }

        for (QLineEdit* field : window_->findChildren<QLineEdit*>()) {
            const QRect inside = uitest::placeInWindow(*field).adjusted(3, 3, -3, -3);
            const QColor behind = commonest(shot, inside);
            QCOMPARE(behind, palette.color(QPalette::Base));
            QVERIFY2(contrast(strongestInk(shot, inside, behind), behind) >= kReadable,
                     qPrintable(field->objectName()));
        }

        for (QWidget* line : window_->findChildren<QWidget*>(QRegularExpression("^Line\\d+$"))) {
            const QColor drawn = shot.pixelColor(uitest::placeInWindow(*line).center());
            QCOMPARE(drawn, palette.color(QPalette::WindowText));
            QVERIFY(contrast(drawn, palette.color(QPalette::Window)) >= kReadable);
        }
    }

    // A palette changed while the window is open reaches the balance figures too.
    void balanceRedFollowsAChangedPalette() {
        const QPalette light = paletteOf(QColor(240, 240, 240), Qt::black, Qt::white, Qt::black);
        calculatedUnder(light);
        auto* balance = window_->findChild<QLabel*>("Label71");
        QCOMPARE(balance->palette().color(balance->foregroundRole()), QColor(Qt::red));
        const QColor darkBase(35, 35, 35);  // dark enough to lose pure red in
        QVERIFY(contrast(Qt::red, darkBase) < kRedOnWhite);
        QApplication::setPalette(paletteOf(QColor(53, 53, 53), Qt::white, darkBase, Qt::white));
        QTRY_COMPARE(balance->palette().color(QPalette::Base), darkBase);  // told in an event
        const QColor red = balance->palette().color(balance->foregroundRole());
        QVERIFY2(isRed(red) && red != QColor(Qt::red), qPrintable(red.name()));
        QVERIFY(contrast(red, darkBase) >= kRedOnWhite);
    }

  private:
    QImage calculatedUnder(const QPalette& palette) {
        QApplication::setPalette(palette);
        QLocale::setDefault(QLocale::c());
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) {
            qFatal("the window did not open");
        }
        uitest::typeWorkedExample(*window_);
        window_->calculate();
        window_->findChild<QPushButton*>("Calcbutton")->setFocus();  // no field's focus frame
        return window_->grab().toImage();
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

QTEST_MAIN(PaletteTest)
#include "tst_palette.moc"
