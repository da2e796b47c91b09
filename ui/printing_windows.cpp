// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The road to the printer on Windows: the default printer of the user's print spooler, asked
// before the job whether it is paused or on its way out; the page then goes through Qt's
// print support, whose print engine reports whether the spooler took the job.

#include "printing.h"

#include <windows.h>
#include <winspool.h>
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

}  // namespace

std::optional<QString> printOnDefaultPrinter(const QString& jobTitle,
                                             const PagePainter& paintPage) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        if (std::optional<QString> problem = problemWith(info.printerName())) {
            return problem;
        }
    }
    return printing::printThroughQt(jobTitle, paintPage);
}

}  // namespace ui
