// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The road to the printer on Windows: the default printer of the user's print spooler, asked
// before the job whether it is paused or on its way out; the page then goes through Qt's
// print support, whose print engine (as the project builds it) leaves the printer in its
// error state when the spooler did not take the job.

#include "printing.h"

#include <windows.h>
#include <winspool.h>
#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printing_common.h"

namespace ui {
namespace {

struct PrinterCloser {
    void operator()(HANDLE printer) const { ClosePrinter(printer); }
};
using PrinterHandle = std::unique_ptr<void, PrinterCloser>;

// The spooler's status bits of the printer, or nothing when it cannot be asked.
std::optional<DWORD> spoolerStatus(const QString& name) {
    std::wstring wideName = name.toStdWString();
    HANDLE raw = nullptr;
    if (OpenPrinterW(wideName.data(), &raw, nullptr) == 0) {
        return std::nullopt;
    }
    const PrinterHandle printer(raw);
    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) {
        return std::nullopt;
    }
    std::vector<BYTE> buffer(needed);
    if (GetPrinterW(printer.get(), 2, buffer.data(), needed, &needed) == 0) {
        return std::nullopt;
    }
    PRINTER_INFO_2W info{};
    std::memcpy(&info, buffer.data(), sizeof info);
    return info.Status;
}

std::optional<QString> problemWith(const QString& name) {
    const std::optional<DWORD> status = spoolerStatus(name);
    if (!status) {
        return std::nullopt;  // the job itself will tell
    }
    if ((*status & PRINTER_STATUS_PAUSED) != 0) {
        return printing::stopped(name);
    }
    if ((*status & PRINTER_STATUS_PENDING_DELETION) != 0) {
        return printing::notAccepting(name);
    }
    return std::nullopt;
}

// The system's own words for an error code, or nothing when it has none.
QString systemMessage(DWORD error) {
    if (error == ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text),  // NOLINT(*-reinterpret-cast): the API's own way
        0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
    return QString::fromWCharArray(text, static_cast<int>(length)).trimmed();
}

// The page drawn onto the printer; a job the spooler refused, which leaves the printer in
// its error state and the spooler's error as the thread's last error (read at once, before
// anything else sets another), is told as such rather than as a printer's error while
// drawing.
std::optional<QString> paintForSpooler(const PagePainter& paintPage, QPagedPaintDevice& page) {
    std::optional<QString> problem = paintPage(page);
    const DWORD error = GetLastError();
    const auto* printer = dynamic_cast<const QPrinter*>(&page);
    if (!problem || printer == nullptr || printer->printerState() != QPrinter::Error) {
        return problem;
    }
    QString reason = systemMessage(error);
    if (reason.isEmpty()) {
        reason = QCoreApplication::translate("Printing", "the spooler gave no reason");
    }
    return printing::notTaken(printer->printerName(), reason);
}

}  // namespace

std::optional<QString> printOnDefaultPrinter(const QString& jobTitle,
                                             const PagePainter& paintPage) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        if (std::optional<QString> problem = problemWith(info.printerName())) {
            return problem;
        }
    }
    return printing::printThroughQt(jobTitle, [&paintPage](QPagedPaintDevice& page) {
        return paintForSpooler(paintPage, page);
    });
}

}  // namespace ui
