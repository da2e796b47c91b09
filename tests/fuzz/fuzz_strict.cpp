// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The strict reading under a full-stop and a comma locale: any text is read or refused
// without harm, and a finite double written out in any of the usual forms reads back as
// the same double.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "numbers.h"

namespace {

const calc::Separators kFullStop{".", ","};
const calc::Separators kComma{",", "."};

std::string written(double value, std::chars_format form, int precision) {
    std::array<char, 1200> buffer{};
    const auto end =
        precision < 0
            ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, form).ptr
            : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, form, precision)
                  .ptr;
    return std::string(buffer.data(), end);
}

std::string withComma(std::string text) {
    for (char& c : text) {
        c = c == '.' ? ',' : c;
    }
    return text;
}

void expectReadsBack(const std::string& text, double value) {
    for (const auto& [written, separators] :
         {std::pair{text, kFullStop}, std::pair{withComma(text), kComma}}) {
        const calc::Reading reading = calc::readStrict(written, separators);
        if (!reading.value || *reading.value != value) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const calc::Separators& separators : {kFullStop, kComma}) {
        const calc::Reading reading = calc::readStrict(text, separators);
        if (reading.value && !std::isfinite(*reading.value)) {
            std::abort();
        }
    }
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            expectReadsBack(written(value, std::chars_format::general, -1), value);
            expectReadsBack(written(value, std::chars_format::scientific, -1), value);
            expectReadsBack(written(value, std::chars_format::scientific, 16), value);
            std::string padded(1, ' ');  // built piecewise: GCC 12 misreads "a" + s + "b"
            padded.append(written(value, std::chars_format::fixed, -1)).push_back('\t');
            expectReadsBack(padded, value);
        }
    }
    return 0;
}
