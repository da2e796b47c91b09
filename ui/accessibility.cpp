// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>
#include <chrono>

#include "layout.h"
#include "mainwindow.h"

namespace ui {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

using namespace std::chrono_literals;

constexpr auto kStill = 2s;  // long enough for a screen reader to take in a cleared sheet

bool isInWindow(const QObject* object) {
    return object->parent() != nullptr && object->parent()->objectName() == text(kWindowName);
}

// A label of the window, named by what it holds and then by its figure: "Optimal pin 1 rods,
// 8 and 7". Its text is offered only through its name, so that a screen reader's review of
// the window reads the whole phrase, not the bare figure. A label that says what it holds in
// its own accessible name, or says nothing of it, is named as given or by its text.
class LabelAccessible final : public QAccessibleWidget {
  public:
    explicit LabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    [[nodiscard]] QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const QLabel*>(widget());
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

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
constexpr std::string_view kNoticeName = "Notice";

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
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("QLabel") && isInWindow(object)) {
        return new LabelAccessible(static_cast<QLabel*>(object));
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (className == QLatin1String("QObject") && object->objectName() == text(kNoticeName)) {
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

void Announcer::announce(const QString& message) {
    message_ = message;
    settle_.start();
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

// The toolkit has an announcement of its own, which the screen reader queues as it is told.
Announcer::Announcer(QWidget& window) : window_(window) {
    settle_.setSingleShot(true);
    settle_.setInterval(kStill);
    QObject::connect(&settle_, &QTimer::timeout, &window, [this] { tell(); });
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
    notice_->setObjectName(text(kNoticeName));
    settle_.setSingleShot(true);
    settle_.setInterval(kStill);
    QObject::connect(&settle_, &QTimer::timeout, &window, [this] { tell(); });
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
