# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The worked example of tests/worked-example.tsv as constant tables for the C++ tests and
# benchmarks: written at configure time into the build tree as worked_example.h, which the
# interface target torvane_worked_example puts on its users' include path. A change of the
# file configures the build again. A header rather than a file read at run time: the tests
# also run under Wine and under Node, and a header needs no path handed to them there.

function(torvane_worked_example)
    if(TARGET torvane_worked_example)
        return()
    endif()
    set(source ${PROJECT_SOURCE_DIR}/tests/worked-example.tsv)
    set(dir ${PROJECT_BINARY_DIR}/worked-example)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})

    file(STRINGS ${source} lines)
    set(field "")
    set(cell "")
    set(balance "")
    set(field_count 0)
    set(cell_count 0)
    foreach(line IN LISTS lines)
        if(line STREQUAL "" OR line MATCHES "^#")
            continue()
        endif()
        # KIND NAME TEXT GERMAN, none of them with a quote or backslash, to be C++ literals.
        if(NOT line MATCHES "^(field|cell|balance)\t([^\t\"\\]+)\t([^\t\"\\]+)\t([^\t\"\\]+)$")
            message(FATAL_ERROR "worked-example.tsv: not KIND NAME TEXT GERMAN: ${line}")
        endif()
        set(kind ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        set(value ${CMAKE_MATCH_3})
        set(record "\"${CMAKE_MATCH_3}\", \"${CMAKE_MATCH_4}\"")
        if(kind STREQUAL "balance")
            # kOptimalBalance, kRetainingBalance; the figure also as a float literal.
            string(SUBSTRING ${name} 0 1 initial)
            string(SUBSTRING ${name} 1 -1 rest)
            string(TOUPPER ${initial} initial)
            if(NOT value MATCHES "\\.")
                string(APPEND value ".0")
            endif()
            string(APPEND balance "inline constexpr Figure k${initial}${rest}Balance = "
                   "{${record}, ${value}F};\n")
        else()
            string(APPEND ${kind} "    {\"${name}\", ${record}},\n")
            math(EXPR ${kind}_count "${${kind}_count} + 1")
        endif()
    endforeach()

    file(CONFIGURE OUTPUT ${dir}/worked_example.h @ONLY CONTENT [[
// Written by cmake/WorkedExample.cmake from tests/worked-example.tsv: change that file.
#pragma once

#include <array>
#include <string_view>

namespace workedexample {

// A field's or a result cell's text, with a decimal full stop and with a decimal comma.
struct Text {
    std::string_view name;
    std::string_view text;
    std::string_view german;
};

struct Figure {
    std::string_view text;
    std::string_view german;
    float value;
};

// The weights, in the window's Tab order.
inline constexpr std::array<Text, @field_count@> kFields = {{
@field@}};

// The result cells' texts after Calculate, in the order Clear empties them.
inline constexpr std::array<Text, @cell_count@> kCells = {{
@cell@}};

@balance@
}  // namespace workedexample
]])
    add_library(torvane_worked_example INTERFACE)
    target_include_directories(torvane_worked_example INTERFACE ${dir})
endfunction()
