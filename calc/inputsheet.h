// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The 29 texts of one calculation, exactly as typed, and the check that none is empty.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "failure.h"
#include "fields.h"

namespace calc {

inline constexpr std::string_view kEmptyFieldMessage = "All values must be entered";

struct InputSheet {
    std::array<std::string, kFieldCount> texts;  // UTF-8, indexed by Field

    std::string& operator[](Field field) { return texts[index(field)]; }
    const std::string& operator[](Field field) const { return texts[index(field)]; }
};

// Fails with an EmptyField failure when any text is exactly empty. A text of blanks is not
// empty.
[[nodiscard]] std::optional<Failure> validate(const InputSheet& sheet);

}  // namespace calc
