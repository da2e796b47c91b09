// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The road from Print to the printer: which printer, whether it can take a job now, and
// handing it the printed window.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;

namespace ui {

// Draws the page onto what it is given: a printer, or the PDF file of the page where the
// page goes to the printer as a file. Returns the problem in plain words, if any.
using PagePainter = std::function<std::optional<QString>(QPagedPaintDevice&)>;

// Prints one page on the desktop's default printer, without asking anything. Refuses, with
// the reason in plain words, when there is no default printer, when it is stopped or not
// accepting jobs, and when it does not take the job.
[[nodiscard]] std::optional<QString> printOnDefaultPrinter(const QString& jobTitle,
                                                           const PagePainter& paintPage);

// What a message calls the printer the page is drawn for: its name, or nothing when it has
// none.
[[nodiscard]] QString printerName(const QPagedPaintDevice& page);

}  // namespace ui
