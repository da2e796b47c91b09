// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <chrono>

#include "mainwindow.h"

namespace ui {
namespace {

using namespace std::chrono_literals;

constexpr auto kStill = 2s;  // long enough for a screen reader to take in a cleared sheet

// Whether the object is one of the window's controls, which stand in its areas.
bool isInWindow(const QObject* object) {
    return qobject_cast<const AreaGroup*>(object->parent()) != nullptr;
}

// A label of the window, named by what it holds and then by its figure: "Optimal pin 1 rods,
// 8 and 7". Its text is offered only through its name, so that a screen reader's review of
// the window reads the whole phrase, not the bare figure. A label that says what it holds in
// its own accessible name, or says nothing of it, is named as given or by its text.
class LabelAccessible final : public QAccessibleWidget {
  public:
    explicit LabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    [[nodiscard]] QString text(QAccessible::Text t) const override {
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (t != QAccessible::Name || !label->accessibleName().isEmpty()) {
            return QAccessibleWidget::text(t);
        }
        const QString holds = label->accessibleDescription();
        const QString figure = spokenFigure(label->text());
        if (holds.isEmpty() || figure.isEmpty()) {
            return holds.isEmpty() ? figure : holds;
        }
        return QStringLiteral("%1, %2").arg(holds, figure);
    }
};

// A field of the window, its text offered whole. The toolkit's own line-edit interface
// reports a run of text attributes that ends where it starts, which leads a screen reader
// that reads a line run by run, as Orca does, to stop one character short: "296" is read
// as "29". This one reports the whole text as one run; the rest is what any line edit gives.
class FieldAccessible final : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
  public:
    explicit FieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText) {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (t == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? field()->text() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value) {
            field()->setText(text);
        } else {
            QAccessibleWidget::setText(t, text);
        }
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = field()->isReadOnly();
        state.editable = !field()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    // The text: no attributes, so one run from the first character to the last.
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the toolkit's signature
    [[nodiscard]] QString attributes(int /*offset*/, int* startOffset,
                                     int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    [[nodiscard]] QString text(int startOffset, int endOffset) const override {
        return startOffset > endOffset ? QString()
                                       : field()->text().mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override {
        return static_cast<int>(field()->text().size());
    }
    [[nodiscard]] int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    [[nodiscard]] int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (index == 0 && field()->hasSelectedText()) {
            *startOffset = field()->selectionStart();
            *endOffset = field()->selectionEnd();
        }
    }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int index) override {
        if (index == 0) {
            field()->deselect();
        }
    }
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the toolkit's signature
    void setSelection(int index, int startOffset, int endOffset) override {
        if (index == 0) {
            field()->setSelection(startOffset, endOffset - startOffset);
        }
    }
    // Measured from the caret, which the field itself places.
    [[nodiscard]] QRect characterRect(int offset) const override {
        const QString shown = field()->text();
        if (offset < 0 || offset >= shown.size()) {
            return {};
        }
        const QFontMetrics metrics(field()->font());
        const QRect caret = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + metrics.horizontalAdvance(shown.left(offset)) -
                      metrics.horizontalAdvance(shown.left(field()->cursorPosition()));
        const QRect box(x, caret.y(), metrics.horizontalAdvance(shown.at(offset)),
                        metrics.height());
        return box.translated(field()->mapToGlobal(QPoint(0, 0)));
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        field()->setCursorPosition(endIndex);
        field()->setCursorPosition(startIndex);
    }

    void deleteText(int startOffset, int endOffset) override {
        field()->setText(field()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override {
        field()->setText(field()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        field()->setText(field()->text().replace(startOffset, endOffset - startOffset, text));
    }

  private:
    [[nodiscard]] QLineEdit* field() const { return qobject_cast<QLineEdit*>(widget()); }
};

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
constexpr auto kNoticeName = QLatin1String("Notice");

// What the screen reader is told: a notification of the window, shown with each message.
// It has no place among the window's controls and nothing on screen.
class NoticeAccessible final : public QAccessibleObject {
  public:
    explicit NoticeAccessible(QObject* notice) : QAccessibleObject(notice) {}

    [[nodiscard]] QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    [[nodiscard]] QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* /*child*/) const override {
        return -1;
    }
    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? object()->property("message").toString() : QString();
    }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Notification; }
    [[nodiscard]] QAccessible::State state() const override { return {}; }
};
#endif

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    // To assistive technology the window is a frame named by its title, as a main window
    // is, rather than a nameless area within one.
    if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(qobject_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String(AreaGroup::staticMetaObject.className())) {
        return new QAccessibleWidget(qobject_cast<QWidget*>(object), QAccessible::Grouping);
    }
    if (className == QLatin1String("QLabel") && isInWindow(object)) {
        return new LabelAccessible(qobject_cast<QLabel*>(object));
    }
    if (className == QLatin1String("QLineEdit") && isInWindow(object)) {
        return new FieldAccessible(qobject_cast<QLineEdit*>(object));
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (className == QLatin1String("QObject") && object->objectName() == kNoticeName) {
        return new NoticeAccessible(object);
    }
#endif
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces() {
    QAccessible::installFactory(accessibleFor);
}

QString spokenFigure(const QString& text) {
    QString spoken = text.simplified();
    return text.contains(QStringLiteral("  ")) ? spoken.replace(u' ', QStringLiteral(" and "))
                                               : spoken;
}

QString balanceAnnouncement(const calc::ResultSheet& results) {
    return QCoreApplication::translate(
               "Announcer", "Balance using %1 with the rods re-paired, or %2 as numbered.")
        .arg(QString::fromStdString(results.optimalBalance()),
             QString::fromStdString(results.retainingBalance()));
}

// The message goes out once the window has been still for kStill.
void Announcer::waitForStill(QWidget& window) {
    settle_.setSingleShot(true);
    settle_.setInterval(kStill);
    QObject::connect(&settle_, &QTimer::timeout, &window, [this] { tell(); });
}

void Announcer::announce(const QString& message) {
    message_ = message;
    settle_.start();
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

// The toolkit has an announcement of its own, which the screen reader queues as it is told.
Announcer::Announcer(QWidget& window) : window_(window) {
    waitForStill(window);
}

void Announcer::tell() {
    QAccessibleAnnouncementEvent event(&window_, message_);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
}

#else

// Without an announcement in the toolkit, the message is the name of a notification that
// shows itself: a screen reader speaks a notification as it appears, wherever the focus is.
Announcer::Announcer(QWidget& window) : notice_(new QObject(&window)) {
    notice_->setObjectName(kNoticeName);
    waitForStill(window);
}

void Announcer::tell() {
    notice_->setProperty("message", message_);
    QAccessibleEvent renamed(notice_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(notice_, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#endif

}  // namespace ui
