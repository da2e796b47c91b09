// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the window does its own way on the desktop (Linux, Windows) and in a browser, beside
// the road to the printer (printing.h): one file each, platform_desktop.cpp and
// platform_web.cpp.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ui {

// Gives the fields and buttons the desktop's face at the desktop's size, before the window
// makes them. A desktop has its own, which they take unasked; a browser has none for the
// program, which then gets the face Qt brings there at the size desktops give it.
void takeDesktopFont();

// Tells the user something: a box over the window with the program's title, the text as it
// is and OK alone, modal. On the desktop the call returns once the box is closed; in the
// browser, whose page cannot wait inside a call, at once. Either way `closed` runs once the
// box is closed.
void tell(QWidget& window, const QString& message, const std::function<void()>& closed = {});

// Suits the keyboard to what in the window has the focus, where the program chooses it: in a
// browser on a phone or a tablet, the number keypad for a field and none for a button; and,
// while the last press was a finger's, the keypad's Enter ("next") takes the caret along the
// window's Tab order, as a soft keyboard has no Tab key (after a click, Enter does nothing, as
// on the desktop). On the desktop the keyboard is the keyboard: nothing to do.
void suitKeyboard(QWidget& window);

}  // namespace ui
