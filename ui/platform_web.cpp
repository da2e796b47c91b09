// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// In a browser. Qt brings one face there, DejaVu Sans, the face of a Linux desktop, but at
// Qt's own default size (12 points), larger than any desktop's (9 points on Linux and
// Windows), which leaves a figure such as "297.5" no room in its field.
//
// A page's code runs in calls from the browser, each finished before the browser draws or
// hands on the next key: no call can wait for a box to be closed. A nested event loop, as
// QDialog::exec() runs, would need the whole program rebuilt to suspend itself (asyncify,
// which makes it much larger and slower) or a suspending call not every browser has (JSPI);
// without either, Qt stops the program. So the box is shown and the call returns, and what
// comes after the box runs once it is closed.

#include <emscripten/val.h>

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointingDevice>
#include <string>

#include "platform.h"

namespace ui {

void takeDesktopFont() {
    constexpr int kDesktopPointSize = 9;
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), kDesktopPointSize));
}

void tell(QWidget& window, const QString& message, const std::function<void()>& closed) {
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, window.windowTitle(), message, QMessageBox::Ok, &window);
    box->setTextFormat(Qt::PlainText);  // the screen reader reads the text as the box opens
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);  // as on the desktop, where exec() makes it so
    if (closed) {
        QObject::connect(box, &QDialog::finished, &window, closed);
    }
    box->show();
}

// The keyboard. Qt types through one hidden <input> of the page, which it focuses for whatever
// takes the focus, a button too, and whose kind of keyboard it leaves to the page (Qt 6.8
// reads no input-method hints there): a phone would open its letters for a weight, and a
// keyboard for Calculate. Here the element is told what has the focus each time it moves.
namespace {

// The <input> Qt's input context made, which it marks with a property of its own.
emscripten::val typingElement() {
    const emscripten::val document = emscripten::val::global("document");
    const emscripten::val inputs =
        document.call<emscripten::val>("querySelectorAll", std::string("body > input"));
    const int count = inputs["length"].as<int>();
    for (int i = 0; i < count; ++i) {
        emscripten::val input = inputs[i];
        if (!input["data-qinputcontext"].isUndefined()) {
            return input;
        }
    }
    return emscripten::val::null();
}

class Keypad final : public QObject {
  public:
    explicit Keypad(QWidget& window) : QObject(&window), window_(window) {
        QApplication::instance()->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this,
                [this](const QWidget* /*before*/, const QWidget* now) { suit(now); });
        suit(QApplication::focusWidget());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::TouchBegin:
                tapped_ = true;
                break;
            case QEvent::MouseButtonPress:
                // Qt makes a press of its own from a tap that no widget takes as a touch.
                tapped_ = static_cast<const QMouseEvent*>(event)->pointingDevice()->type() ==
                          QInputDevice::DeviceType::TouchScreen;
                break;
            case QEvent::KeyPress:
                // As the Tab key would: the next in the window's Tab order takes the caret.
                if (tapped_ && isEnter(*static_cast<const QKeyEvent*>(event)) && isField(watched)) {
                    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                    QCoreApplication::sendEvent(watched, &tab);
                    return true;
                }
                break;
            default:
                break;
        }
        return false;
    }

  private:
    [[nodiscard]] static bool isEnter(const QKeyEvent& key) {
        return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    }

    [[nodiscard]] bool isField(const QObject* object) const {
        const auto* field = qobject_cast<const QLineEdit*>(object);
        return field != nullptr && window_.isAncestorOf(field);
    }

    // The number keypad for a field, with "next" on its Enter after a tap; no keyboard for
    // anything else.
    void suit(const QWidget* focus) const {
        emscripten::val input = typingElement();
        if (input.isNull()) {
            return;
        }
        const bool field = isField(focus);
        input.call<void>("setAttribute", std::string("inputmode"),
                         std::string(field ? "decimal" : "none"));
        if (field && tapped_) {
            input.call<void>("setAttribute", std::string("enterkeyhint"), std::string("next"));
        } else {
            input.call<void>("removeAttribute", std::string("enterkeyhint"));
        }
    }

    QWidget& window_;
    bool tapped_ = false;  // the last press was a finger's
};

}  // namespace

void suitKeyboard(QWidget& window) {
    new Keypad(window);  // the window owns it
}

}  // namespace ui
