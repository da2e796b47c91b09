// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "failure.h"

#include <cstddef>
#include <string_view>

#include "inputsheet.h"

namespace calc {
namespace {

constexpr std::size_t kQuotedCodePoints = 40;

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The text as it can stand in a one-line message: control characters shown as blanks, and
// a long text cut after a few dozen characters, never inside a UTF-8 sequence.
std::string quotable(std::string_view text) {
    std::string shown;
    std::size_t codePoints = 0;
    for (const char c : text) {
        if (!isContinuationByte(c) && codePoints++ == kQuotedCodePoints) {
            shown += "\u2026";
            break;
        }
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        shown += control ? ' ' : c;
    }
    return shown;
}

std::string fieldPrefix(const Failure& failure) {
    if (!failure.field) {
        return {};
    }
    return std::string(fieldCaption(*failure.field)) + ": \"" + quotable(failure.text) + "\" ";
}

}  // namespace

std::string message(const Failure& failure) {
    switch (failure.kind) {
        case Failure::Kind::EmptyField:
            return std::string(kEmptyFieldMessage);
        case Failure::Kind::NotANumber:
            return fieldPrefix(failure) + "is not a number.";
        case Failure::Kind::OutOfRange:
            return fieldPrefix(failure) + "is too large a number.";
        case Failure::Kind::ResultTooLarge:
            break;
    }
    return "The weights give a result too large to calculate. Please check the weights.";
}

}  // namespace calc
