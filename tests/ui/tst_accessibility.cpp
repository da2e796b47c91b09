// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader finds in the window: every field named as the engine builder says it,
// every button by its caption, every result cell by its figure with a word on what it
// holds, and every message read out. Read back through Qt's accessibility interfaces, the
// same ones the desktop's assistive technology is served from.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <set>

#include "mainwindow.h"
#include "windowsupport.h"

namespace {

struct NamedField {
    const char* object;
    const char* name;
};
constexpr NamedField kFields[] = {
    {"Bigend1", "Big End 1"},
    {"Bigend2", "Big End 2"},
    {"Bigend3", "Big End 3"},
    {"Bigend4", "Big End 4"},
    {"Bigend5", "Big End 5"},
    {"Bigend6", "Big End 6"},
    {"Bigend7", "Big End 7"},
    {"Bigend8", "Big End 8"},
    {"Littleend1", "Little End 1"},
    {"Littleend2", "Little End 2"},
    {"Littleend3", "Little End 3"},
    {"Littleend4", "Little End 4"},
    {"Littleend5", "Little End 5"},
    {"Littleend6", "Little End 6"},
    {"Littleend7", "Little End 7"},
    {"Littleend8", "Little End 8"},
    {"PistonA", "Piston A"},
    {"PistonB", "Piston B"},
    {"PistonC", "Piston C"},
    {"PistonD", "Piston D"},
    {"PistonE", "Piston E"},
    {"PistonF", "Piston F"},
    {"PistonG", "Piston G"},
    {"PistonH", "Piston H"},
    {"Rings", "Rings"},
    {"Locks", "Locks"},
    {"Shells", "Shells"},
    {"Oil", "Oil"},
    {"Recip", "Recip. %"},
};

struct DescribedCell {
    const char* object;
    const char* description;
};
constexpr DescribedCell kCells[] = {
    {"Label29", "Rod, row 1"},
    {"Label28", "Piston, row 1"},
    {"Label30", "Rod, row 2"},
    {"Label33", "Piston, row 2"},
    {"Label31", "Rod, row 3"},
    {"Label34", "Piston, row 3"},
    {"Label32", "Rod, row 4"},
    {"Label35", "Piston, row 4"},
    {"Label39", "Rod, row 5"},
    {"Label38", "Piston, row 5"},
    {"Label40", "Rod, row 6"},
    {"Label43", "Piston, row 6"},
    {"Label41", "Rod, row 7"},
    {"Label44", "Piston, row 7"},
    {"Label42", "Rod, row 8"},
    {"Label45", "Piston, row 8"},
    {"Label52", "Optimal pin 1 rods"},
    {"Label62", "Optimal pin 1 bob-weight"},
    {"Label55", "Optimal pin 2 rods"},
    {"Label63", "Optimal pin 2 bob-weight"},
    {"Label56", "Optimal pin 3 rods"},
    {"Label64", "Optimal pin 3 bob-weight"},
    {"Label57", "Optimal pin 4 rods"},
    {"Label65", "Optimal pin 4 bob-weight"},
    {"Label66", "Retaining pin 1 bob-weight"},
    {"Label67", "Retaining pin 2 bob-weight"},
    {"Label68", "Retaining pin 3 bob-weight"},
    {"Label69", "Retaining pin 4 bob-weight"},
    {"Label71", "Balance using, optimal"},
    {"Label73", "Balance using, retaining"},
};

const QString kTitle = QStringLiteral("Torvane - Quillon Assistant");

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    if (face == nullptr) {
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    }
    return face;
}

// The object names of everything inside, at any depth.
QStringList objectsWithin(QAccessibleInterface* face) {
    QStringList names;
    for (int i = 0; i < face->childCount(); ++i) {
        names << face->child(i)->object()->objectName() << objectsWithin(face->child(i));
    }
    return names;
}

// The names of everything inside, at any depth.
QStringList namesWithin(QAccessibleInterface* face) {
    QStringList names;
    for (int i = 0; i < face->childCount(); ++i) {
        names << face->child(i)->text(QAccessible::Name) << namesWithin(face->child(i));
    }
    return names;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        window_ = std::make_unique<ui::MainWindow>(pivots_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    // A reader walking the window from its top reaches every field, button and cell.
    void windowIsNamedByItsTitle() {
        QAccessibleInterface* face = accessible(window_.get());
        QCOMPARE(face->role(), QAccessible::Window);
        QCOMPARE(face->text(QAccessible::Name), kTitle);
        const QStringList reached = objectsWithin(face);
        for (const NamedField& f : kFields) {
            QVERIFY2(reached.contains(f.object), f.object);
        }
        for (const DescribedCell& c : kCells) {
            QVERIFY2(reached.contains(c.object), c.object);
        }
        for (const char* button : {"Calcbutton", "Clearbutton", "Printbutton"}) {
            QVERIFY2(reached.contains(button), button);
        }
    }

    void fieldIsNamedAsTheUserSaysIt_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        for (const NamedField& f : kFields) {
            QTest::newRow(f.object) << f.object << f.name;
        }
    }

    void fieldIsNamedAsTheUserSaysIt() {
        QFETCH(QString, object);
        QFETCH(QString, name);
        auto* field = window_->findChild<QLineEdit*>(object);
        QVERIFY(field != nullptr);
        QAccessibleInterface* face = accessible(field);
        QCOMPARE(face->role(), QAccessible::EditableText);
        QCOMPARE(face->text(QAccessible::Name), name);
        field->setText(QStringLiteral("297.5"));
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("297.5"));
        QVERIFY(face->editableTextInterface() != nullptr);
        // One run of attributes covers the whole text, or a screen reader reading the field
        // run by run stops short of its last character.
        int start = -1;
        int end = -1;
        face->textInterface()->attributes(4, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, 5);
    }

    void buttonIsNamedByItsCaption_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        QTest::newRow("Calculate") << "Calcbutton"
                                   << "Calculate";
        QTest::newRow("Clear") << "Clearbutton"
                               << "Clear";
        QTest::newRow("Print") << "Printbutton"
                               << "Print";
    }

    void buttonIsNamedByItsCaption() {
        QFETCH(QString, object);
        QFETCH(QString, name);
        QAccessibleInterface* face = accessible(window_->findChild<QPushButton*>(object));
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), name);
        QVERIFY(face->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }

    void cellSaysWhatItHolds_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("result");
        for (const DescribedCell& c : kCells) {
            QTest::newRow(c.object)
                << c.object << c.description << uitest::workedResults({c.object}).front();
        }
    }

    // Empty, a cell is named by what it holds; filled by a Calculate pressed through the
    // accessible interface, by what it holds and its figure, two rods said as "8 and 7",
    // while the figure shows as ever.
    void cellSaysWhatItHolds() {
        QFETCH(QString, object);
        QFETCH(QString, description);
        QFETCH(QString, result);
        auto* cell = window_->findChild<QLabel*>(object);
        QVERIFY(cell != nullptr);
        QAccessibleInterface* face = accessible(cell);
        QCOMPARE(face->role(), QAccessible::StaticText);
        QCOMPARE(face->text(QAccessible::Name), description);
        QCOMPARE(face->text(QAccessible::Description), description);

        typeWorkedExample();
        pressThroughAccessibility("Calcbutton");
        QTRY_COMPARE(cell->text(), result);
        const QString spoken =
            QString(result).replace(QStringLiteral("  "), QStringLiteral(" and "));
        QCOMPARE(face->text(QAccessible::Name), description + QStringLiteral(", ") + spoken);
        QCOMPARE(face->text(QAccessible::Description), description);

        pressThroughAccessibility("Clearbutton");
        QTRY_COMPARE(face->text(QAccessible::Name), description);
    }

    void everyCellHasADescriptionOfItsOwn() {
        std::set<QString> descriptions;
        for (QLabel* label : window_->findChildren<QLabel*>()) {
            const QString d = accessible(label)->text(QAccessible::Description);
            if (!d.isEmpty()) {
                QVERIFY2(descriptions.insert(d).second, qPrintable(d));
            }
        }
        QCOMPARE(descriptions.size(), std::size(kCells));
    }

    // Each control stands in a group named by the heading of its area of the window; the
    // optimal and the retaining blocks stand within the bob-weights.
    void controlStandsInItsArea_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("areas");  // from the innermost out
        QTest::newRow("Bigend1") << "Bigend1" << QStringList{"CON-RODS"};
        QTest::newRow("PistonH") << "PistonH" << QStringList{"PISTONS"};
        QTest::newRow("Recip") << "Recip" << QStringList{"Extras"};
        QTest::newRow("Printbutton") << "Printbutton" << QStringList{"Commands"};
        QTest::newRow("Label45") << "Label45" << QStringList{"ROD-PISTON ASSEMBLIES"};
        QTest::newRow("Label47") << "Label47" << QStringList{"BOB-WEIGHT CALCULATIONS"};
        QTest::newRow("Label71") << "Label71"
                                 << QStringList{"Optimal (may require rod re-numbering)",
                                                "BOB-WEIGHT CALCULATIONS"};
        QTest::newRow("Label58") << "Label58"
                                 << QStringList{"Retaining Rod/Cyl Numbering",
                                                "BOB-WEIGHT CALCULATIONS"};
    }

    void controlStandsInItsArea() {
        QFETCH(QString, object);
        QFETCH(QStringList, areas);
        auto* control = window_->findChild<QWidget*>(object);
        QVERIFY(control != nullptr);
        QAccessibleInterface* group = accessible(control)->parent();
        for (const QString& area : areas) {
            QCOMPARE(group->role(), QAccessible::Grouping);
            QCOMPARE(group->text(QAccessible::Name), area);
            group = group->parent();
        }
        QCOMPARE(group->object(), window_.get());
    }

    // The captions that stand for the retaining crankpins name the pin and its two rods.
    void pinCaptionSaysItsRods_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        QTest::newRow("Label58") << "Label58"
                                 << "Retaining pin 1, rods 1 and 2";
        QTest::newRow("Label61") << "Label61"
                                 << "Retaining pin 4, rods 7 and 8";
    }

    void pinCaptionSaysItsRods() {
        QFETCH(QString, object);
        QFETCH(QString, name);
        auto* caption = window_->findChild<QLabel*>(object);
        QVERIFY(caption != nullptr);
        QCOMPARE(accessible(caption)->text(QAccessible::Name), name);
    }

    // A message box is named by the program's title and says its message once, as the text
    // inside it: a screen reader reads the box's description as well as its text.
    void messageIsReadOut() {
        QString name;
        QString description;
        QStringList inside;
        QTimer answerer;  // the press comes a moment later, as a click the user could see
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            QAccessibleInterface* face = accessible(box);
            name = face->text(QAccessible::Name);
            description = face->text(QAccessible::Description);
            inside = namesWithin(face);
            box->button(QMessageBox::Ok)->click();
        });
        answerer.start(10);
        pressThroughAccessibility("Calcbutton");  // every field empty
        QTRY_COMPARE(name, kTitle);
        QVERIFY2(!description.contains(QStringLiteral("All values must be entered")),
                 qPrintable(description));
        QVERIFY2(inside.count(QStringLiteral("All values must be entered")) == 1,
                 qPrintable(inside.join('|')));
        QVERIFY(inside.contains(QStringLiteral("OK")));
    }

  private:
    void typeWorkedExample() {
        const QStringList worked = uitest::workedWeights();  // in the order of kFields
        for (std::size_t i = 0; i < std::size(kFields); ++i) {
            QAccessibleInterface* face =
                accessible(window_->findChild<QLineEdit*>(kFields[i].object));
            face->editableTextInterface()->insertText(0, worked.at(static_cast<int>(i)));
        }
    }

    void pressThroughAccessibility(const char* button) {
        accessible(window_->findChild<QPushButton*>(button))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
    }

    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
