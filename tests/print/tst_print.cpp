// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's side of the print test: run by print_test.sh against a real print spooler,
// one function at a time.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "mainwindow.h"
#include "windowsupport.h"

class PrintTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        uitest::typeWorkedExample(*window_);
        press("Calcbutton");
        results_ = cellTexts();
        QCOMPARE(results_.front(), uitest::workedResults({"Label28"}).front());
    }

    // Print once; nothing is said and nothing changes.
    void printWorkedExample() { QCOMPARE(printAndListen(1), QStringList()); }

    void printTwice() { QCOMPARE(printAndListen(2), QStringList()); }

    // Print is refused with a message that says why, in the words TORVANE_EXPECT gives; the
    // window is as it was and the next Calculate works.
    void printRefused() {
        const QString expected = qEnvironmentVariable("TORVANE_EXPECT");
        QVERIFY(!expected.isEmpty());
        const QStringList messages = printAndListen(1);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.front().contains(expected), qPrintable(messages.front()));
        QVERIFY(messages.front().contains("the window was not printed"));
        window_->clear();
        uitest::typeWorkedExample(*window_);
        press("Calcbutton");
        QCOMPARE(cellTexts(), results_);
    }

  private:
    QStringList printAndListen(int times) {
        QStringList messages;
        QTimer listener;
        connect(&listener, &QTimer::timeout, this, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        listener.start(5);
        const QStringList fields = fieldTexts();
        for (int i = 0; i < times; ++i) {
            press("Printbutton");
        }
        [&] {
            QCOMPARE(fieldTexts(), fields);
            QCOMPARE(cellTexts(), results_);
        }();
        return messages;
    }
    void press(const char* name) { window_->findChild<QPushButton*>(name)->click(); }
    QStringList fieldTexts() const {
        QStringList texts;
        for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
            texts << window_->field(calc::Field(i))->text();
        }
        return texts;
    }
    QStringList cellTexts() const {
        QStringList texts;
        for (std::size_t i = 0; i < calc::kCellCount; ++i) {
            texts << window_->cell(i)->text();
        }
        return texts;
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
    QStringList results_;
};

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
