// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window under a Wayland compositor: the platform is Wayland, the window reaches the
// screen with the program's title, and it is the size it is everywhere else (615 by 538 px,
// as under the offscreen platform), with the compositor's say in its size taken into account.
// wayland_test.sh runs it inside a headless weston of its own.
#include <QGuiApplication>
#include <QWindow>
#include <QtTest>

#include "mainwindow.h"
#include "sortarrays.h"

namespace {

const QString kTitle = QStringLiteral("Torvane - Quillon Assistant");
constexpr QSize kSize(615, 538);

}  // namespace

class TestWayland final : public QObject {
    Q_OBJECT

  private slots:

    void platformIsWayland() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    }

    void windowOpensWithItsTitleAndSize() {
        calc::PivotGenerator generator;
        ui::MainWindow window(generator);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QWindow* surface = window.windowHandle();
        QVERIFY(surface != nullptr);
        QCOMPARE(window.windowTitle(), kTitle);
        QCOMPARE(surface->title(), kTitle);
        QCOMPARE(window.size(), kSize);
        QCOMPARE(surface->size(), kSize);
        QCOMPARE(surface->minimumSize(), kSize);
        QCOMPARE(surface->maximumSize(), kSize);
        // The decoration Qt draws when the compositor draws none: wayland_test.sh expects the
        // program's window geometry to be the size with these around it.
        const QMargins frame = surface->frameMargins();
        qInfo("frame margins: %d %d %d %d", frame.left(), frame.top(), frame.right(),
              frame.bottom());

        // The compositor answers the first frame with a configure of its own; the window must
        // come out of it as it went in.
        QTest::qWait(500);
        QVERIFY(surface->isExposed());
        QCOMPARE(window.size(), kSize);
        QCOMPARE(surface->size(), kSize);
    }
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
