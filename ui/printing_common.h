// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What every platform's road to the printer shares: the words for each reason the window was
// not printed, and the road through Qt's print support alone.
#pragma once

#include <QString>
#include <optional>

#include "printing.h"

namespace ui::printing {

[[nodiscard]] QString noPrinter(bool anyPrinter);
[[nodiscard]] QString stopped(const QString& name);
[[nodiscard]] QString notAccepting(const QString& name);
[[nodiscard]] QString notTaken(const QString& name, const QString& reason);
[[nodiscard]] QString noPrintService();
[[nodiscard]] QString noRoomForJob();

// The default printer as Qt's print support sees it: refuses when there is none or it is in
// an error state, else draws the page onto it.
[[nodiscard]] std::optional<QString> printThroughQt(const QString& jobTitle,
                                                    const PagePainter& paintPage);

}  // namespace ui::printing
