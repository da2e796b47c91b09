// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What can stop a calculation, as a value the caller must handle.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "fields.h"

namespace calc {

struct Failure {
    enum class Kind {
        EmptyField,      // some field holds no text at all
        NotANumber,      // a strictly read field holds something that is not a number
        OutOfRange,      // a field holds a number beyond the range of a double
        ResultTooLarge,  // a weight or sum does not fit in single precision
    };
    Kind kind;
    std::optional<Field> field;  // the field at fault, for NotANumber and OutOfRange
    std::string text;            // that field's text, exactly as typed
};

// The sentence shown to the user, in UTF-8. Texts quoted from a field are shortened to a
// readable length.
[[nodiscard]] std::string message(const Failure& failure);

// Either a value or the failure that stopped its making.
template <typename T>
class [[nodiscard]] Outcome {
  public:
    Outcome(T value) : state_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Outcome(Failure failure)                        // NOLINT(google-explicit-constructor)
        : state_(std::move(failure)) {}

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(state_); }
    [[nodiscard]] const T& value() const { return std::get<T>(state_); }
    [[nodiscard]] const Failure& failure() const { return std::get<Failure>(state_); }

  private:
    std::variant<T, Failure> state_;
};

}  // namespace calc
