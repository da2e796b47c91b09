// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printing_common.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>

namespace ui::printing {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("Printing", text);
}

}  // namespace

QString noPrinter(bool anyPrinter) {
    return anyPrinter ? tr("No printer is chosen as the default printer, so the window was not "
                           "printed. Choose a default printer in the system's printer settings, "
                           "then press Print again.")
                      : tr("There is no printer set up on this computer, so the window was not "
                           "printed. Set up a printer, then press Print again.");
}

QString stopped(const QString& name) {
    return tr("The printer \u201C%1\u201D is stopped, so the window was not printed. Start it "
              "again in the system's printer settings, then press Print again.")
        .arg(name);
}

QString notAccepting(const QString& name) {
    return tr("The printer \u201C%1\u201D is not accepting jobs at the moment, so the window was "
              "not printed. Check the printer, then press Print again.")
        .arg(name);
}

QString notTaken(const QString& name, const QString& reason) {
    return tr("The printer \u201C%1\u201D did not take the job, so the window was not printed "
              "(%2).")
        .arg(name, reason);
}

QString noPrintService() {
    return tr(
        "The printing service of this computer is not running, so the window was not "
        "printed. Start it (or ask whoever looks after this computer), then press Print "
        "again.");
}

QString noRoomForJob() {
    return tr("The window could not be printed: there is no room for the print job.");
}

std::optional<QString> printThroughQt(const QString& jobTitle, const PagePainter& paintPage) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return noPrinter(!QPrinterInfo::availablePrinterNames().isEmpty());
    }
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted) {
        return stopped(info.printerName());
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobTitle);
    return paintPage(printer);
}

}  // namespace ui::printing

namespace ui {

QString printerName(const QPagedPaintDevice& page) {
    // Every page here is drawn for a printer of Qt's print support, a PDF file's included.
    const auto* printer = dynamic_cast<const QPrinter*>(&page);
    return printer != nullptr ? printer->printerName() : QString();
}

}  // namespace ui
