# Form layouts: text-form component streams (*.layout.txt) converted to binary "TPF0" at
# build time by zapskin and embedded in a Windows binary as RCDATA resources.
#   zr_add_layouts(TARGET [FILES file.layout.txt ...] [DIRECTORY dir ...])
# The resource name is the file name before ".layout.txt", upper-cased as Windows keeps it
# (TDemoForm.layout.txt -> TDEMOFORM). DIRECTORY takes every *.layout.txt below dir, and a
# layout added there later is found by the next build. Call it where TARGET is created.
include_guard(GLOBAL)

get_filename_component(ZR_LAYOUTS_PROJECT_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
if(WIN32)
    enable_language(RC)
endif()

# The converter runs on the build machine. A cross build uses the zapskin of the native build
# tree beside it when that tree is configured (as scripts/test does: native first), keeping it
# up to date through that tree's own build; otherwise it makes a native zapskin of its own from
# this source tree, as a separate project under host-tools/ of the build tree.
set(ZR_NATIVE_BUILD_DIR "${ZR_LAYOUTS_PROJECT_DIR}/build/native" CACHE PATH
    "A configured native build tree whose zapskin a cross build uses")
function(_zr_layout_converter out_command out_depends)
    if(NOT CMAKE_CROSSCOMPILING)
        set(${out_command} zapskin PARENT_SCOPE)
        set(${out_depends} zapskin PARENT_SCOPE)
        return()
    endif()
    if(EXISTS "${ZR_NATIVE_BUILD_DIR}/CMakeCache.txt")
        set(host_zapskin ${ZR_NATIVE_BUILD_DIR}/bin/zapskin)
        if(NOT TARGET zr_host_zapskin)
            # Always asks the native tree, which rebuilds zapskin only when its sources changed
            # and then keeps its time, so the layouts are not converted again.
            add_custom_target(zr_host_zapskin
                COMMAND ${CMAKE_COMMAND} --build ${ZR_NATIVE_BUILD_DIR} --target zapskin
                BYPRODUCTS ${host_zapskin}
                COMMENT "Bringing the native zapskin up to date"
                VERBATIM)
        endif()
        set(${out_command} ${host_zapskin} PARENT_SCOPE)
        set(${out_depends} ${host_zapskin} zr_host_zapskin PARENT_SCOPE)
        return()
    endif()
    set(host_dir ${CMAKE_BINARY_DIR}/host-tools)
    set(host_zapskin ${host_dir}/bin/zapskin)
    if(NOT TARGET zr_host_zapskin)
        include(ExternalProject)
        ExternalProject_Add(zr_host_zapskin
            SOURCE_DIR ${ZR_LAYOUTS_PROJECT_DIR}
            BINARY_DIR ${host_dir}
            PREFIX ${host_dir}/project
            CMAKE_ARGS
                -DCMAKE_C_COMPILER=gcc
                -DCMAKE_CXX_COMPILER=g++
                -DCMAKE_BUILD_TYPE=Release
                -DZR_BUILD_TESTS=OFF
                -DZR_BUILD_BENCH=OFF
                -DZR_BUILD_FUZZ=OFF
            BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target zapskin
            # The sub-build decides what is out of date; zapskin keeps its time when unchanged,
            # so the layouts are not converted again.
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${host_zapskin}
            INSTALL_COMMAND "")
    endif()
    set(${out_command} ${host_zapskin} PARENT_SCOPE)
    set(${out_depends} ${host_zapskin} zr_host_zapskin PARENT_SCOPE)
endfunction()

function(zr_add_layouts target)
    cmake_parse_arguments(ARG "" "" "FILES;DIRECTORY" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "zr_add_layouts: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT WIN32)
        message(FATAL_ERROR "zr_add_layouts: layouts are embedded in Windows binaries only (${target})")
    endif()
    if(NOT TARGET ${target})
        message(FATAL_ERROR "zr_add_layouts: no target ${target}")
    endif()
    # A custom command's rule goes only to targets of its own directory.
    get_target_property(target_dir ${target} SOURCE_DIR)
    if(NOT target_dir STREQUAL CMAKE_CURRENT_SOURCE_DIR)
        message(FATAL_ERROR "zr_add_layouts: call it in ${target_dir}, where ${target} is created")
    endif()

    set(files)
    foreach(file IN LISTS ARG_FILES)
        get_filename_component(file ${file} ABSOLUTE)
        list(APPEND files ${file})
    endforeach()
    foreach(dir IN LISTS ARG_DIRECTORY)
        get_filename_component(dir ${dir} ABSOLUTE)
        if(NOT IS_DIRECTORY ${dir})
            message(FATAL_ERROR "zr_add_layouts: no folder ${dir}")
        endif()
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.layout.txt)
        list(SORT found)
        list(APPEND files ${found})
    endforeach()
    list(REMOVE_DUPLICATES files)
    if(NOT files)
        message(FATAL_ERROR "zr_add_layouts: no layouts for ${target}")
    endif()

    _zr_layout_converter(converter converter_depends)
    set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/layouts/${target})
    set(rc_file ${out_dir}/layouts.rc)
    # All layouts of a target go into one .rc, written when the directory is done: GNU ld
    # merging the resources of two objects into one type sorts their names in an order the
    # system's lookup does not expect, and some are then not found.
    get_target_property(lines ${target} ZR_LAYOUT_RC_LINES)
    get_target_property(names ${target} ZR_LAYOUT_NAMES)
    if(NOT lines)
        set(lines)
        set(names)
        cmake_language(EVAL CODE "cmake_language(DEFER CALL _zr_write_layout_rc [[${target}]] [[${rc_file}]])")
        target_sources(${target} PRIVATE ${rc_file})
    endif()
    set(outputs)
    foreach(file IN LISTS files)
        get_filename_component(file_name ${file} NAME)
        string(REGEX REPLACE "\\.layout\\.txt$" "" stem "${file_name}")
        # Letters and digits only: the system looks names up in an order where '_' and the
        # other punctuation sort differently from GNU ld's order when resources merge.
        if(NOT stem MATCHES "^[A-Za-z][A-Za-z0-9]*$")
            message(FATAL_ERROR "zr_add_layouts: ${file}: the name before .layout.txt must be letters and digits")
        endif()
        string(TOUPPER ${stem} name)
        set(output ${out_dir}/${stem}.tpf)
        if(name IN_LIST names)
            message(FATAL_ERROR "zr_add_layouts: ${file}: ${target} already has a layout named ${name}")
        endif()
        list(APPEND names ${name})
        list(APPEND lines "${name} RCDATA \"${output}\"")
        add_custom_command(OUTPUT ${output}
            COMMAND ${converter} text2bin ${file} ${output}
            DEPENDS ${file} ${converter_depends}
            COMMENT "Converting layout ${file_name}"
            VERBATIM)
        list(APPEND outputs ${output})
    endforeach()
    set_property(TARGET ${target} PROPERTY ZR_LAYOUT_RC_LINES "${lines}")
    set_property(TARGET ${target} PROPERTY ZR_LAYOUT_NAMES "${names}")
    # windres reports no dependencies: the resource object waits for the converted files.
    set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS ${outputs})
    target_sources(${target} PRIVATE ${outputs})
endfunction()

# The main window's layout as the program ships it: the committed layout with the Plum skin
# packed into its engine's skin stream. Made in the calling folder (a layout is embedded only by
# targets of the folder whose rule writes it); its path goes to out_var.
function(zr_skinned_main_layout out_var)
    set(layout ${CMAKE_SOURCE_DIR}/resources/TFRM.layout.txt)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/skinned/TFRM.layout.txt)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/skinned
        COMMAND ${CMAKE_COMMAND} -DLAYOUT=${layout} -DSKIN=${ZR_PLUM_SKIN} -DOUT=${output}
                -P ${ZR_LAYOUTS_PROJECT_DIR}/cmake/EmbedSkinStream.cmake
        DEPENDS ${layout} ${ZR_PLUM_SKIN} zr_plum_skin ${ZR_LAYOUTS_PROJECT_DIR}/cmake/EmbedSkinStream.cmake
        COMMENT "Embedding the Plum skin in the main window's layout"
        VERBATIM)
    set(${out_var} ${output} PARENT_SCOPE)
endfunction()

# Bitmaps every executable linking target compiles in (a static library would drop them): for
# each NAME, the resource <RESOURCE_PREFIX><NAME> from <FILE_PREFIX><name in lower case>.bmp.
#   zr_interface_bitmaps(TARGET RC_NAME RESOURCE_PREFIX prefix FILE_PREFIX path NAMES name ...)
function(zr_interface_bitmaps target rc_name)
    cmake_parse_arguments(ARG "" "RESOURCE_PREFIX;FILE_PREFIX" "NAMES" ${ARGN})
    set(rc "// Generated by zr_interface_bitmaps for ${target}.\n")
    set(files)
    foreach(name IN LISTS ARG_NAMES)
        string(TOLOWER ${name} lower)
        set(file ${ARG_FILE_PREFIX}${lower}.bmp)
        string(APPEND rc "${ARG_RESOURCE_PREFIX}${name} BITMAP \"${file}\"\n")
        list(APPEND files ${file})
    endforeach()
    set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${rc_name})
    file(CONFIGURE OUTPUT ${rc_file} CONTENT "${rc}" @ONLY)
    set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS ${files})
    target_sources(${target} INTERFACE ${rc_file})
endfunction()

function(_zr_write_layout_rc target rc_file)
    get_target_property(lines ${target} ZR_LAYOUT_RC_LINES)
    list(JOIN lines "\n" text)
    # Written only when it changes, so a new configure does not rebuild the resources.
    file(CONFIGURE OUTPUT ${rc_file} CONTENT "// Generated by zr_add_layouts for ${target}.\n${text}\n" @ONLY)
endfunction()
