# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's icon and version in its Windows executable: an .ico drawn from the SVG at
# every size Windows asks for (rsvg-convert, and icotool of icoutils), and a resource script
# that names it and the version.

function(torvane_add_windows_resource target)
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    find_program(ICOTOOL icotool REQUIRED)
    set(svg ${PROJECT_SOURCE_DIR}/ui/icons/torvane.svg)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/windows-icon)
    set(pngs)
    foreach(size 16 20 24 32 40 48 64 256)
        set(png ${dir}/${size}.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --format=png
                    --output=${png} ${svg}
            DEPENDS ${svg}
            VERBATIM)
        list(APPEND pngs ${png})
    endforeach()
    # The largest is stored as PNG, the others as bitmaps, as Windows' own icons are.
    set(TORVANE_ICO ${dir}/torvane.ico)
    list(POP_BACK pngs largest)
    add_custom_command(
        OUTPUT ${TORVANE_ICO}
        COMMAND ${ICOTOOL} --create --output=${TORVANE_ICO} ${pngs} --raw=${largest}
        DEPENDS ${pngs} ${largest}
        COMMENT "Drawing the Windows icon"
        VERBATIM)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/torvane.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/torvane.rc @ONLY)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/torvane.rc PROPERTIES
                                OBJECT_DEPENDS ${TORVANE_ICO})
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/torvane.rc)
    set(TORVANE_ICO ${TORVANE_ICO} PARENT_SCOPE)
endfunction()
