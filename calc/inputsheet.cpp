// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "inputsheet.h"

#include <algorithm>

namespace calc {

std::optional<Failure> validate(const InputSheet& sheet) {
    const bool anyEmpty =
        std::ranges::any_of(sheet.texts, [](const std::string& text) { return text.empty(); });
    if (anyEmpty) {
        return Failure{Failure::Kind::EmptyField, std::nullopt, {}};
    }
    return std::nullopt;
}

}  // namespace calc
