# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs beside the program every library that it and its plugins load, followed from their
# import tables through Qt's libraries to the MinGW runtime's; what is found nowhere there is
# Windows' own. Run at install time, with TORVANE_RUNTIME_FILES (the program and plugins),
# TORVANE_RUNTIME_DIRS (where to look), TORVANE_RUNTIME_LINKS (a scratch folder in the build),
# TORVANE_OBJDUMP and TORVANE_STRIP set.
#
# CMake looks a Windows library up by its name in lower case, but names what it found as the
# import table spells it (Qt6Core.dll), and the folders here are case-sensitive: so it looks in
# a folder of links to the libraries, under both names, and installs what they point to.
set(links ${TORVANE_RUNTIME_LINKS})
file(REMOVE_RECURSE ${links})
file(MAKE_DIRECTORY ${links})
foreach(dir IN LISTS TORVANE_RUNTIME_DIRS)
    file(GLOB dlls ${dir}/*.dll)
    foreach(dll IN LISTS dlls)
        get_filename_component(name ${dll} NAME)
        string(TOLOWER ${name} lower)
        foreach(link IN ITEMS ${name} ${lower})
            if(NOT EXISTS ${links}/${link})
                file(CREATE_LINK ${dll} ${links}/${link} SYMBOLIC)
            endif()
        endforeach()
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${TORVANE_OBJDUMP})
file(GET_RUNTIME_DEPENDENCIES
    MODULES ${TORVANE_RUNTIME_FILES}
    DIRECTORIES ${links}
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR windows_own)
list(JOIN windows_own ", " windows_own)
message(STATUS "Left to Windows: ${windows_own}")

foreach(link IN LISTS found)
    file(REAL_PATH ${link} library)
    file(INSTALL ${library} DESTINATION ${CMAKE_INSTALL_PREFIX})
    # MinGW's runtime libraries come with their debugging notes: a stripped install drops them.
    if(CMAKE_INSTALL_DO_STRIP)
        get_filename_component(name ${library} NAME)
        execute_process(COMMAND ${TORVANE_STRIP} --strip-unneeded ${CMAKE_INSTALL_PREFIX}/${name}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
