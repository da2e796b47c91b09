// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The 29 input fields of the sheet, in the order the window lists and clears them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace calc {

enum class Field : std::size_t {
    Bigend1,
    Bigend2,
    Bigend3,
    Bigend4,
    Bigend5,
    Bigend6,
    Bigend7,
    Bigend8,
    Littleend1,
    Littleend2,
    Littleend3,
    Littleend4,
    Littleend5,
    Littleend6,
    Littleend7,
    Littleend8,
    PistonA,
    PistonB,
    PistonC,
    PistonD,
    PistonE,
    PistonF,
    PistonG,
    PistonH,
    Rings,
    Locks,
    Shells,
    Oil,
    Recip,
};

inline constexpr std::size_t kFieldCount = 29;
inline constexpr std::size_t kRodCount = 8;

// Control names of the fields, indexed by Field.
inline constexpr std::array<std::string_view, kFieldCount> kFieldNames = {
    "Bigend1",    "Bigend2",    "Bigend3",    "Bigend4",    "Bigend5",    "Bigend6",
    "Bigend7",    "Bigend8",    "Littleend1", "Littleend2", "Littleend3", "Littleend4",
    "Littleend5", "Littleend6", "Littleend7", "Littleend8", "PistonA",    "PistonB",
    "PistonC",    "PistonD",    "PistonE",    "PistonF",    "PistonG",    "PistonH",
    "Rings",      "Locks",      "Shells",     "Oil",        "Recip",
};

// The field as the user sees it on the sheet, for messages: "Big End 3", "Piston C".
inline constexpr std::array<std::string_view, kFieldCount> kFieldCaptions = {
    "Big End 1",    "Big End 2",    "Big End 3",    "Big End 4",    "Big End 5",    "Big End 6",
    "Big End 7",    "Big End 8",    "Little End 1", "Little End 2", "Little End 3", "Little End 4",
    "Little End 5", "Little End 6", "Little End 7", "Little End 8", "Piston A",     "Piston B",
    "Piston C",     "Piston D",     "Piston E",     "Piston F",     "Piston G",     "Piston H",
    "Rings",        "Locks",        "Shells",       "Oil",          "Recip. %",
};

constexpr std::size_t index(Field field) {
    return static_cast<std::size_t>(field);
}
constexpr Field bigend(std::size_t rod) {
    return Field(index(Field::Bigend1) + rod);
}
constexpr Field littleend(std::size_t rod) {
    return Field(index(Field::Littleend1) + rod);
}
constexpr Field piston(std::size_t row) {
    return Field(index(Field::PistonA) + row);
}
constexpr std::string_view fieldName(Field field) {
    return kFieldNames[index(field)];
}
constexpr std::string_view fieldCaption(Field field) {
    return kFieldCaptions[index(field)];
}

}  // namespace calc
