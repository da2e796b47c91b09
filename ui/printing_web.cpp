// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The road to the printer in a browser, where a page cannot reach a printer itself: the
// window is drawn into a PDF of one page, at its true size, as on the desktop, and handed to
// the browser as a download, to be printed from there (or kept). The paper is the one a
// printer of the user's country most likely has.

#include "printing.h"

#include <emscripten/val.h>
#include <QBuffer>
#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <string>

namespace ui {
namespace {

// Letter where the user's locale measures in inches (the United States), A4 elsewhere.
QPageSize paper() {
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                         ? QPageSize::Letter
                         : QPageSize::A4);
}

// The browser keeps a handed file as long as its address lives: the last one is let go at the
// next Print, once its download has long started.
emscripten::val& lastAddress() {
    static emscripten::val address = emscripten::val::undefined();
    return address;
}

// Hands the bytes to the browser as a file download of the given name.
void download(const QByteArray& bytes, const QString& fileName) {
    using emscripten::val;
    const val url = val::global("URL");
    if (!lastAddress().isUndefined()) {
        url.call<void>("revokeObjectURL", lastAddress());
    }
    // A copy of the bytes, made in the browser's own memory, outside the program's.
    const val view(emscripten::typed_memory_view(static_cast<std::size_t>(bytes.size()),
                                                 bytes.constData()));
    val parts = val::array();
    parts.call<void>("push", val::global("Uint8Array").new_(view));
    val type = val::object();
    type.set("type", std::string("application/pdf"));
    lastAddress() = url.call<val>("createObjectURL", val::global("Blob").new_(parts, type));
    val link = val::global("document").call<val>("createElement", std::string("a"));
    link.set("href", lastAddress());
    link.set("download", fileName.toStdString());
    link.call<void>("click");
}

}  // namespace

std::optional<QString> printOnDefaultPrinter(const QString& jobTitle,
                                             const PagePainter& paintPage) {
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(jobTitle);
        pdf.setCreator(jobTitle);
        pdf.setPageSize(paper());
        if (std::optional<QString> problem = paintPage(pdf)) {
            return problem;
        }
    }
    download(file.data(), jobTitle + QStringLiteral(".pdf"));
    return std::nullopt;
}

QString printerName(const QPagedPaintDevice& /*page*/) {
    return {};  // the browser's printer, which the page does not know
}

}  // namespace ui
