// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The forgiving reading of rings, locks, shells and oil: it never fails but beyond the
// double range, and blanks, tabs and line feeds anywhere make no difference.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const calc::Reading reading = calc::readLenient(text);

    std::string squeezed;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            squeezed += c;
        }
    }
    const calc::Reading again = calc::readLenient(squeezed);
    if (reading.value.has_value() != again.value.has_value()) {
        std::abort();
    }
    if (reading.value) {
        if (!std::isfinite(*reading.value) || *reading.value != *again.value) {
            std::abort();
        }
    } else if (reading.error != calc::ReadError::OutOfRange ||
               again.error != calc::ReadError::OutOfRange) {
        std::abort();
    }
    return 0;
}
