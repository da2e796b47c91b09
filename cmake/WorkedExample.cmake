# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The worked example of tests/worked-example.tsv as constant tables for the C++ tests and
# benchmarks: written at configure time into the build tree as worked_example.h, which the
# interface target torvane_worked_example puts on its users' include path. A change of the
# file configures the build again. A header rather than a file read at run time: the tests
# also run under Wine and under Node, and a header needs no path handed to them there.

# A text of the file as a C++ string literal: the file holds no quote or backslash.
function(_torvane_literal text out)
    if(text MATCHES "[\"\\\\]")
        message(FATAL_ERROR "worked-example.tsv: \"${text}\" holds a quote or a backslash")
    endif()
    set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

function(torvane_worked_example)
    if(TARGET torvane_worked_example)
        return()
    endif()
    set(source ${PROJECT_SOURCE_DIR}/tests/worked-example.tsv)
    set(dir ${PROJECT_BINARY_DIR}/worked-example)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})

    file(STRINGS ${source} lines)
    set(fields "")
    set(cells "")
    set(balances "")
    set(field_count 0)
    set(cell_count 0)
    foreach(line IN LISTS lines)
        if(line STREQUAL "" OR line MATCHES "^#")
            continue()
        endif()
        string(REPLACE "\t" ";" columns "${line}")
        list(LENGTH columns count)
        if(NOT count EQUAL 4)
            message(FATAL_ERROR "worked-example.tsv: not four tab-separated columns: ${line}")
        endif()
        list(GET columns 0 kind)
        list(GET columns 1 name)
        list(GET columns 2 text)
        list(GET columns 3 german)
        _torvane_literal("${name}" name_literal)
        _torvane_literal("${text}" text_literal)
        _torvane_literal("${german}" german)
        if(kind STREQUAL "field")
            string(APPEND fields "    {${name_literal}, ${text_literal}, ${german}},\n")
            math(EXPR field_count "${field_count} + 1")
        elseif(kind STREQUAL "cell")
            string(APPEND cells "    {${name_literal}, ${text_literal}, ${german}},\n")
            math(EXPR cell_count "${cell_count} + 1")
        elseif(kind STREQUAL "balance")
            # The figure as a float literal too, for the calculation's own result.
            if(text MATCHES "^[0-9]+$")
                set(value "${text}.0F")
            elseif(text MATCHES "^[0-9]*\\.[0-9]+$")
                set(value "${text}F")
            else()
                message(FATAL_ERROR "worked-example.tsv: balance \"${text}\" is not a figure")
            endif()
            if(name STREQUAL "optimal")
                set(constant kOptimalBalance)
            elseif(name STREQUAL "retaining")
                set(constant kRetainingBalance)
            else()
                message(FATAL_ERROR "worked-example.tsv: unknown balance \"${name}\"")
            endif()
            string(APPEND balances "inline constexpr Figure ${constant} = "
                   "{${text_literal}, ${german}, ${value}};\n")
        else()
            message(FATAL_ERROR "worked-example.tsv: unknown kind \"${kind}\": ${line}")
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
@fields@}};

// The result cells' texts after Calculate, in the order Clear empties them.
inline constexpr std::array<Text, @cell_count@> kCells = {{
@cells@}};

@balances@
}  // namespace workedexample
]])
    add_library(torvane_worked_example INTERFACE)
    target_include_directories(torvane_worked_example INTERFACE ${dir})
endfunction()
