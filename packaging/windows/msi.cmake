# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# CPack's External generator's packaging script: makes Torvane-<version>-win64.msi with wixl
# from the very files CPack installed for it (CPACK_TEMPORARY_DIRECTORY, the same install
# rules as the installer's and the .zip's), one component a file, and signs it where a
# certificate is given. The program's own file carries the Start-menu shortcut.
set(stage ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)

# The folder and its subfolders as wixl's Directory elements, the files of the folder first;
# each file a Component of its own, whose key path it is, and whose GUID wixl makes of its
# path. The program's file carries the Start-menu shortcut (not advertised: wixl notes it as
# "unimplemented", and writes the shortcut to the Target given all the same).
set(msi_files "")
set(msi_component_refs "")
set(n 0)
function(msi_component file indent)
    math(EXPR n "${n} + 1")
    set(n ${n} PARENT_SCOPE)
    get_filename_component(name "${file}" NAME)
    set(shortcut "")
    if(file STREQUAL "torvane.exe")
        set(shortcut "
${indent}  <Shortcut Id=\"menu\" Directory=\"ProgramMenuFolder\" Name=\"Torvane\"
${indent}            Target=\"[#f${n}]\" WorkingDirectory=\"INSTALLDIR\" Advertise=\"no\"/>
${indent}")
    endif()
    string(APPEND msi_files
        "${indent}<Component Id=\"c${n}\" Guid=\"*\">\n"
        "${indent}  <File Id=\"f${n}\" Name=\"${name}\" Source=\"${stage}/${file}\" KeyPath=\"yes\">${shortcut}</File>\n"
        "${indent}</Component>\n")
    string(APPEND msi_component_refs "      <ComponentRef Id=\"c${n}\"/>\n")
    set(msi_files "${msi_files}" PARENT_SCOPE)
    set(msi_component_refs "${msi_component_refs}" PARENT_SCOPE)
endfunction()

set(subfolders "")
foreach(file IN LISTS files)
    get_filename_component(dir "${file}" DIRECTORY)
    if(dir STREQUAL "")
        msi_component("${file}" "          ")
    elseif(dir MATCHES "/")
        message(FATAL_ERROR "msi.cmake: ${file} lies two folders deep, which it does not lay out")
    else()
        list(APPEND subfolders "${dir}")
    endif()
endforeach()
list(REMOVE_DUPLICATES subfolders)
foreach(dir IN LISTS subfolders)
    string(MAKE_C_IDENTIFIER "dir_${dir}" dir_id)
    string(APPEND msi_files "          <Directory Id=\"${dir_id}\" Name=\"${dir}\">\n")
    foreach(file IN LISTS files)
        if(file MATCHES "^${dir}/")
            msi_component("${file}" "            ")
        endif()
    endforeach()
    string(APPEND msi_files "          </Directory>\n")
endforeach()
if(NOT "torvane.exe" IN_LIST files)
    message(FATAL_ERROR "msi.cmake: no torvane.exe in ${stage}")
endif()

set(wxs ${CPACK_TOPLEVEL_DIRECTORY}/Torvane.wxs)
set(msi ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
configure_file(${CPACK_TORVANE_MSI_TEMPLATE} ${wxs} @ONLY)
execute_process(COMMAND ${CPACK_TORVANE_WIXL} --arch x64 --output ${msi} ${wxs}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CPACK_TORVANE_SIGN} ${msi} COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
