// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Thousands of rounds of Calculate, Clear and Calculate-after-edit through the real window,
// with texts of every shape a user could type or paste. After each round the window shows
// either exactly what the calculation gives for its texts, or a message and the cells it
// showed before.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include "mainwindow.h"

namespace {

constexpr int kDefaultRounds = 4000;

// Fewer where each round is slow: the Windows build's run under Wine names its own number,
// still enough to pass through both locales.
int roundCount() {
    bool given = false;
    const int rounds = qEnvironmentVariableIntValue("TORVANE_STRESS_ROUNDS", &given);
    return given && rounds > 0 ? rounds : kDefaultRounds;
}

// Answers every message box at once and keeps its text.
class MessageCatcher : public QObject {
  public:
    MessageCatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start(0);
    }
    QStringList texts;

  private:
    QTimer timer_;
};

// Texts an engine builder might type, or paste by mistake.
class TextMaker {
  public:
    explicit TextMaker(quint32 seed) : random_(seed) {}

    QString next() {
        switch (random_.bounded(12)) {
            case 0:
                return {};
            case 1:
                return pick({" ", "\t", "  ", "abc", "g4",  "x",   "-",    ".",  ",",   "e5",
                             "&", "&H", "&O", "inf", "nan", "NaN", "0x1F", "1e", "--1", "+"});
            case 2:
                return radix();
            case 3:
                return QString::number(random_.generateDouble() * 1e40, 'g', 17);
            case 4:
                return exotic();
            case 5:
                return random_.bounded(40) == 0 ? huge() : decorate(weight());
            default:
                return weight();
        }
    }

  private:
    QString pick(std::initializer_list<const char*> options) {
        return QString::fromUtf8(*(options.begin() + random_.bounded(int(options.size()))));
    }
    QString weight() {
        const double w = 90 + random_.bounded(2200) / 10.0;
        QString text = QString::number(w, 'f', random_.bounded(4));
        if (random_.bounded(3) == 0) {
            text.replace('.', ',');
        }
        if (random_.bounded(8) == 0) {
            text.prepend(random_.bounded(2) ? "-" : "+");
        }
        if (random_.bounded(10) == 0) {
            text += pick({"e0", "E+1", "e-2", "D1"});
        }
        return text;
    }
    QString decorate(QString text) {
        const int at = random_.bounded(int(text.size()) + 1);
        return text.insert(at, pick({" ", "\t", "\n", "g", "\u00A0", "\u202F", "1,000", ".."}));
    }
    QString radix() {
        QString digits;
        for (int i = random_.bounded(20); i > 0; --i) {
            digits += "0123456789ABCDEFabcdefG"[random_.bounded(23)];
        }
        return (random_.bounded(2) ? "&H" : "&O") + digits;
    }
    QString exotic() {
        return pick({"\u0661\u0662\u066B\u0665",  // Arabic-Indic digits with a decimal sign
                     "\u05E9\u05DC\u05D5\u05DD 12", "\u202E297.5", "2\u03009\u03016",
                     "\U0001F527\U0001F697", "29\u200B7", "\x01\x02\x7F", "\r\n296", "\uFEFF300",
                     "\uFF13\uFF10\uFF10", "296\u0000"});
    }
    QString huge() {
        QString text(1 << 20, QChar(u"0123456789 ."[random_.bounded(12)]));
        text[0] = '1';
        return text;
    }

    QRandomGenerator random_;
};

}  // namespace

class StressTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void manyRounds() {
        calc::PivotGenerator windowPivots;
        calc::PivotGenerator referencePivots;  // kept in step with the window's
        ui::MainWindow window(windowPivots);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageCatcher messages;
        TextMaker texts(20261208);
        QRandomGenerator choice(7);
        int calculated = 0;
        int refused = 0;

        const int rounds = roundCount();
        for (int round = 0; round < rounds; ++round) {
            if (round % 500 == 0) {
                QLocale::setDefault(round % 1000 == 0 ? QLocale::c() : QLocale(QLocale::German));
            }
            const int kind = choice.bounded(10);
            if (kind == 0) {
                press(window, "Clearbutton");
                QVERIFY(allEmpty(window));
                continue;
            }
            if (kind < 4) {  // edit one field
                window.field(calc::Field(choice.bounded(int(calc::kFieldCount))))
                    ->setText(texts.next());
            } else {  // a fresh sheet of weights, now and then with one odd text
                for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
                    window.field(calc::Field(i))
                        ->setText(QString::number(100 + choice.bounded(300)));
                }
                if (choice.bounded(2) == 0) {
                    window.field(calc::Field(choice.bounded(int(calc::kFieldCount))))
                        ->setText(texts.next());
                }
            }
            const QStringList before = cellTexts(window);
            const calc::InputSheet sheet = sheetOf(window);
            messages.texts.clear();
            press(window, "Calcbutton");
            const QString expectedMessage = expectedFailure(sheet, referencePivots, window);
            if (expectedMessage.isEmpty()) {
                ++calculated;
                QCOMPARE(messages.texts, QStringList());
            } else {
                ++refused;
                QCOMPARE(messages.texts, QStringList{expectedMessage});
                QCOMPARE(cellTexts(window), before);
            }
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(QString::number(round)));
        }
        const QString counts =
            QStringLiteral("%1 calculated, %2 refused").arg(calculated).arg(refused);
        QVERIFY2(calculated > rounds / 5, qPrintable(counts));
        QVERIFY2(refused > rounds / 10, qPrintable(counts));
    }

  private:
    static void press(ui::MainWindow& window, const char* name) {
        window.findChild<QPushButton*>(name)->click();
    }
    static QStringList cellTexts(const ui::MainWindow& window) {
        QStringList texts;
        for (std::size_t i = 0; i < calc::kCellCount; ++i) {
            texts << window.cell(i)->text();
        }
        return texts;
    }
    static bool allEmpty(const ui::MainWindow& window) {
        for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
            if (!window.field(calc::Field(i))->text().isEmpty()) {
                return false;
            }
        }
        return cellTexts(window) == QStringList(calc::kCellCount, QString());
    }
    static calc::InputSheet sheetOf(const ui::MainWindow& window) {
        calc::InputSheet sheet;
        for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
            sheet.texts[i] = window.field(calc::Field(i))->text().toStdString();
        }
        return sheet;
    }
    // Works the sheet out directly. On success, checks the window's cells and returns an
    // empty text; otherwise returns the message the window should have shown.
    static QString expectedFailure(const calc::InputSheet& sheet, calc::RandomSource& pivots,
                                   const ui::MainWindow& window) {
        if (const auto empty = calc::validate(sheet)) {
            return QString::fromStdString(calc::message(*empty));
        }
        const QLocale locale;
        const calc::Separators separators{locale.decimalPoint().toStdString(),
                                          locale.groupSeparator().toStdString()};
        const auto outcome = calc::calculate(sheet, separators, pivots);
        if (!outcome.ok()) {
            return QString::fromStdString(calc::message(outcome.failure()));
        }
        const calc::ResultSheet expected = calc::render(outcome.value(), separators.decimal);
        for (std::size_t i = 0; i < calc::kCellCount; ++i) {
            if (window.cell(i)->text() != QString::fromStdString(expected.texts[i])) {
                return QStringLiteral("(cell %1 shows %2)").arg(i).arg(window.cell(i)->text());
            }
        }
        return {};
    }
};

QTEST_MAIN(StressTest)
#include "tst_stress.moc"
