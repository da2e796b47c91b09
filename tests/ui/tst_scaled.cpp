// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window on a high-density screen, run with QT_SCALE_FACTOR=2: twice the pixels in
// every direction, every control in proportion, and every text still inside its box.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "mainwindow.h"
#include "windowsupport.h"

namespace {

constexpr int kScale = 2;
const QSize kLogicalSize(615, 538);  // 9225 x 8070 twips at 15 twips a pixel

// The first and last columns inside the border where a pixel has the colour of the text:
// where its ink lies.
std::pair<int, int> inkColumns(const QImage& image, int border, const QColor& ink) {
    auto isInk = [&ink](const QColor& c) {
        return std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                   std::abs(c.blue() - ink.blue()) <
               96;
    };
    int left = image.width();
    int right = -1;
    for (int y = border; y < image.height() - border; ++y) {
        for (int x = border; x < image.width() - border; ++x) {
            if (isInk(image.pixelColor(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

QString textOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
        return field->text();
    }
    return qobject_cast<const QAbstractButton*>(widget)->text();
}

}  // namespace

class ScaledTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        uitest::typeWorkedExample(*window_);
        window_->calculate();
    }

    void cleanupTestCase() { window_.reset(); }

    void windowDoublesInSize() {
        QCOMPARE(window_->devicePixelRatio(), qreal(kScale));
        QCOMPARE(window_->size(), kLogicalSize);
        const QImage shot = window_->grab().toImage();
        QCOMPARE(shot.size(), kLogicalSize * kScale);
    }

    void textFitsItsBox_data() {
        QTest::addColumn<QString>("name");
        window_->ensurePolished();
        for (const QWidget* w : window_->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(w);
            if ((label && !label->text().isEmpty()) || qobject_cast<const QLineEdit*>(w) ||
                qobject_cast<const QPushButton*>(w)) {
                QTest::newRow(qPrintable(w->objectName())) << w->objectName();
            }
        }
    }

    // Each control is drawn at twice its pixels, and its text's ink keeps clear of both
    // sides of the box: a text cut by its box would run into them.
    void textFitsItsBox() {
        QFETCH(QString, name);
        QWidget* widget = window_->findChild<QWidget*>(name);
        const QImage look = widget->grab().toImage();
        QCOMPARE(look.size(), widget->size() * kScale);
        const auto* label = qobject_cast<QLabel*>(widget);
        const int border = kScale * (label ? label->frameWidth() : 2);
        const auto [left, right] =
            inkColumns(look, border, widget->palette().color(widget->foregroundRole()));
        QVERIFY2(right >= left, "no text drawn");
        QVERIFY2(left > border && right < look.width() - 1 - border,
                 qPrintable(QStringLiteral("ink from %1 to %2 in %3 px")
                                .arg(left)
                                .arg(right)
                                .arg(look.width())));
        const QString text = textOf(widget);
        if (!text.contains(' ') || !label) {  // one line, drawn twice as wide as it measures
            const int measured = kScale * widget->fontMetrics().horizontalAdvance(text);
            QVERIFY2(qAbs(right - left + 1 - measured) <= 2 * kScale + 2,
                     qPrintable(QStringLiteral("ink %1 px wide, text %2 px")
                                    .arg(right - left + 1)
                                    .arg(measured)));
        }
        if (label) {  // nor does it wrap onto more lines than the box has room for
            const QRect room = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(
                room, Qt::TextWordWrap | label->alignment(), label->text());
            QVERIFY(room.contains(needed));
        }
    }

  private:
    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

// The scale is set here, before the application starts, as a desktop sets it for its
// programs: not every platform passes Qt's variables in from outside (Wine keeps them back).
int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    const QApplication application(argc, argv);
    ScaledTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scaled.moc"
