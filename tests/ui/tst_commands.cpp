// Calculate, Clear and Print driven through the window as the engine builder drives them.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "mainwindow.h"

namespace {

const QStringList kWorkedExample = {"296", "302",   "296",   "297.5", "298",   "304", "303", "300",
                                    "104", "98",    "98",    "99",    "104",   "97",  "103", "97",
                                    "199", "196.5", "199.5", "207.5", "206.5", "198", "207", "196",
                                    "10",  "2",     "20",    "4",     "50"};

// The 30 cells, in the order Clear empties them, after the worked example.
const QStringList kWorkedResults = {
    "D",      "3",      "4",      "1",      "8",   "G",     "E", "C",  // Label28..Label35
    "A",      "5",      "2",      "6",      "7",   "F",     "B", "H",  // Label38..Label45
    "8  7",   "3  1",   "5  6",   "2  4",                              // Label52, 55..57
    "956.75", "956",    "956.25", "956.5",                             // Label62..Label65
    "957.25", "955.25", "956.25", "956.75", "956", "955.25"};          // Label66..69, 71, 73

const QStringList kFieldNames = [] {
    QStringList names;
    for (const std::string_view name : calc::kFieldNames) {
        names << QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    return names;
}();

// Answers every message box that opens, and keeps what it said.
class MessageCatcher : public QObject {
  public:
    MessageCatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            texts << box->text();
            titles << box->windowTitle();
            plainOkOnly = plainOkOnly && box->icon() == QMessageBox::NoIcon &&
                          box->buttons().size() == 1 && box->button(QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start(5);
    }
    QStringList texts;
    QStringList titles;
    bool plainOkOnly = true;

  private:
    QTimer timer_;
};

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { ui::substituteLabelFace(); }

    void init() {
        QLocale::setDefault(QLocale::c());
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void opensEmptyWithFocusOnTheFirstBigEnd() {
        QCOMPARE(fieldTexts(), QStringList(29, QString()));
        QCOMPARE(cellTexts(), QStringList(30, QString()));
        QCOMPARE(window_->focusWidget(), field("Bigend1"));
    }

    void calculateFillsEveryCell() {
        fill(kWorkedExample);
        field("PistonC")->setFocus();
        MessageCatcher messages;
        press("Calcbutton");
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(cellTexts(), kWorkedResults);
        QCOMPARE(fieldTexts(), kWorkedExample);
        QCOMPARE(window_->focusWidget(), field("PistonC"));
        // Same texts again: same results, as no weights tie.
        press("Calcbutton");
        QCOMPARE(cellTexts(), kWorkedResults);
    }

    void emptyFieldStopsCalculate_data() {
        QTest::addColumn<QStringList>("empty");
        QTest::newRow("first") << QStringList{"Bigend1"};
        QTest::newRow("a piston") << QStringList{"PistonE"};
        QTest::newRow("last") << QStringList{"Recip"};
        QTest::newRow("several") << QStringList{"Littleend3", "Oil", "PistonH"};
        QTest::newRow("all") << kFieldNames;
    }

    void emptyFieldStopsCalculate() {
        QFETCH(QStringList, empty);
        fill(kWorkedExample);
        press("Calcbutton");
        for (const QString& name : empty) {
            field(name)->clear();
        }
        const QStringList fieldsBefore = fieldTexts();
        field("Shells")->setFocus();
        MessageCatcher messages;
        press("Calcbutton");
        QCOMPARE(messages.texts, QStringList{"All values must be entered"});
        QCOMPARE(messages.titles, QStringList{"Torvane - Quillon Assistant"});
        QVERIFY(messages.plainOkOnly);
        QCOMPARE(cellTexts(), kWorkedResults);
        QCOMPARE(fieldTexts(), fieldsBefore);
        QCOMPARE(window_->focusWidget(), field("Shells"));
    }

    void blankExtraIsNotEmpty() {
        QStringList texts = kWorkedExample;
        texts[27] = " ";  // Oil reads 0: each assembly is 2 lighter
        fill(texts);
        MessageCatcher messages;
        press("Calcbutton");
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(cell("Label71"), QStringLiteral("952"));
    }

    void unreadableTextIsNamed_data() {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("message");
        QTest::newRow("letter") << "Bigend3"
                                << "29x" << QLocale::c() << "Big End 3: \"29x\" is not a number.";
        QTest::newRow("full stop under comma")
            << "Bigend4"
            << "297.5" << QLocale(QLocale::German) << "Big End 4: \"297.5\" is not a number.";
        QTest::newRow("beyond range")
            << "PistonC"
            << "1e400" << QLocale::c() << "Piston C: \"1e400\" is too large a number.";
        QTest::newRow("extras beyond range")
            << "Rings"
            << "9e999" << QLocale::c() << "Rings: \"9e999\" is too large a number.";
        QTest::newRow("recip") << "Recip"
                               << "50%" << QLocale::c() << "Recip. %: \"50%\" is not a number.";
        QTest::newRow("too large a result") << "Littleend8"
                                            << "1e39" << QLocale::c()
                                            << "The weights give a result too large to "
                                               "calculate. Please check the weights.";
    }

    void unreadableTextIsNamed() {
        QFETCH(QString, fieldName);
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(QString, message);
        fill(kWorkedExample);
        press("Calcbutton");
        QLocale::setDefault(locale);
        QStringList texts = kWorkedExample;
        if (locale.decimalPoint() == ",") {
            texts.replaceInStrings(".", ",");
        }
        texts[kFieldNames.indexOf(fieldName)] = text;
        fill(texts);
        field("Oil")->setFocus();
        MessageCatcher messages;
        press("Calcbutton");
        QCOMPARE(messages.texts, QStringList{message});
        QCOMPARE(messages.titles, QStringList{"Torvane - Quillon Assistant"});
        QCOMPARE(cellTexts(), kWorkedResults);
        QCOMPARE(fieldTexts(), texts);
        const bool namesAField = message.startsWith(fieldName.left(3));
        QCOMPARE(window_->focusWidget(), field(namesAField ? fieldName : QString("Oil")));
        if (namesAField) {
            QCOMPARE(field(fieldName)->selectedText(), text);
        }
    }

    void commaLocaleEndToEnd() {
        QLocale::setDefault(QLocale(QLocale::German));
        QStringList texts = kWorkedExample;
        texts.replaceInStrings(".", ",");
        texts[0] = "1.296e-3";  // '.' groups digits here: 1296 x 10^-3 is 1.296
        texts[0] = "296";
        texts[24] = "10,9";  // read leniently: 10
        fill(texts);
        press("Calcbutton");
        QStringList expected = kWorkedResults;
        expected.replaceInStrings(".", ",");
        QCOMPARE(cellTexts(), expected);
    }

    void clearEmptiesFieldsAndCells() {
        fill(kWorkedExample);
        press("Calcbutton");
        field("Locks")->setFocus();
        for (int round = 0; round < 2; ++round) {  // the second on an empty window
            QMetaObject::invokeMethod(window_.get(), &ui::MainWindow::clear);
            QCOMPARE(fieldTexts(), QStringList(29, QString()));
            QCOMPARE(cellTexts(), QStringList(30, QString()));
            QCOMPARE(window_->focusWidget(), field("Locks"));
        }
        const QStringList pairs = {"1  2", "3  4", "5  6", "7  8"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(window_->findChild<QLabel*>(QStringLiteral("Label%1").arg(58 + i))->text(),
                     pairs[i]);
        }
        QCOMPARE(window_->findChild<QLabel*>("Label48")->text(),
                 QStringLiteral("Optimal (may require rod re-numbering)"));
    }

    void longTextIsKeptWhole() {
        QStringList texts = kWorkedExample;
        texts[27] = "4" + QString(1'000'000, u' ') + "grams";
        fill(texts);
        QCOMPARE(field("Oil")->text().size(), 1'000'006);
        press("Calcbutton");
        QCOMPARE(cellTexts(), kWorkedResults);
        QCOMPARE(field("Oil")->text(), texts[27]);
    }

    void enterAndEscapeTriggerNothing() {
        fill(kWorkedExample);
        field("Recip")->setFocus();
        QTest::keyClick(field("Recip"), Qt::Key_Return);
        QTest::keyClick(field("Recip"), Qt::Key_Escape);
        QCOMPARE(cellTexts(), QStringList(30, QString()));
        QVERIFY(window_->isVisible());
    }

    void printsTextAtTrueSize() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftotext.isEmpty() || pdftoppm.isEmpty()) {
            QSKIP("poppler-utils is not installed");
        }
        fill(kWorkedExample);
        press("Calcbutton");
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("window.pdf"));
        const QStringList before = fieldTexts() + cellTexts();
        QCOMPARE(window_->printOnto(printer), std::nullopt);
        QCOMPARE(fieldTexts() + cellTexts(), before);

        QProcess text;
        text.start(pdftotext, {"-layout", dir.filePath("window.pdf"), "-"});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : {"CON-RODS", "PISTONS", "Little End", "Recip. %", "Calculate",
                                     "Print", "ROD-PISTON ASSEMBLIES", "BOB-WEIGHT CALCULATIONS",
                                     "Balance Using", "297.5", "206.5", "956.75", "955.25"}) {
            QVERIFY2(printed.contains(expected), expected);
        }
        // pdftotext lays blanks out as it sees fit: "8  7" may come back with one.
        QVERIFY(printed.contains(QRegularExpression(" 8 +7 ")));
        QVERIFY(printed.contains(QRegularExpression(" 3 +4 ")));

        // On the page at 100 dots per inch the window measures 6.40625 by 5.6 inches.
        QProcess render;
        render.start(pdftoppm, {"-r", "100", "-png", "-singlefile", dir.filePath("window.pdf"),
                                dir.filePath("page")});
        QVERIFY(render.waitForFinished());
        const QImage page(dir.filePath("page.png"));
        QVERIFY(!page.isNull());
        QRect drawn;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (page.pixelColor(x, y) != Qt::white) {
                    drawn |= QRect(x, y, 1, 1);
                }
            }
        }
        QVERIFY2(qAbs(drawn.width() - 640.6) <= 2, qPrintable(QString::number(drawn.width())));
        QVERIFY2(qAbs(drawn.height() - 560.4) <= 2, qPrintable(QString::number(drawn.height())));
    }

    void printWithoutAPrinterSaysSo() {
        if (!QPrinterInfo::defaultPrinter().isNull()) {
            QSKIP("this machine has a default printer");
        }
        fill(kWorkedExample);
        press("Calcbutton");
        MessageCatcher messages;
        press("Printbutton");
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts.front().contains("no printer"));
        QCOMPARE(cellTexts(), kWorkedResults);
        press("Calcbutton");
        QCOMPARE(cellTexts(), kWorkedResults);
    }

  private:
    QLineEdit* field(const QString& name) const { return window_->findChild<QLineEdit*>(name); }
    QString cell(const QString& name) const { return window_->findChild<QLabel*>(name)->text(); }

    void fill(const QStringList& texts) {
        for (qsizetype i = 0; i < texts.size(); ++i) {
            field(kFieldNames[i])->setText(texts[i]);
        }
    }
    void press(const QString& button) {
        QTest::mouseClick(window_->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QStringList fieldTexts() const {
        QStringList texts;
        for (const QString& name : kFieldNames) {
            texts << field(name)->text();
        }
        return texts;
    }
    QStringList cellTexts() const {
        QStringList texts;
        for (const std::string_view name : calc::kCellNames) {
            texts << cell(QString::fromUtf8(name.data(), qsizetype(name.size())));
        }
        return texts;
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
