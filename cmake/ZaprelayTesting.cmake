# GoogleTest for both targets and the helpers that register tests.
#   zr_add_gtest(NAME SOURCES ... [LIBS ...] [DESKTOP])
# Natively every test case becomes a CTest test. A Windows binary is one CTest test run
# under Wine; DESKTOP marks tests that use windows, so they do not overlap in the desktop.
if(NOT ZR_BUILD_TESTS)
    return()
endif()

if(CMAKE_CROSSCOMPILING)
    # Debian ships the sources; build them with the cross compiler.
    set(ZR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(${ZR_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
endif()

include(GoogleTest)


function(zr_add_gtest name)
    cmake_parse_arguments(ARG "DESKTOP" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${ZR_TEST_PREFIX}${name} COMMAND ${name} --gtest_color=no)
        # A program that crashes under Wine can still exit 0: it passes only with GoogleTest's
        # closing summary and no failure in it.
        set_tests_properties(${ZR_TEST_PREFIX}${name} PROPERTIES TIMEOUT 300 LABELS wine
            PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]" FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
        if(ARG_DESKTOP)
            set_tests_properties(${ZR_TEST_PREFIX}${name} PROPERTIES RESOURCE_LOCK wine_desktop)
        endif()
    else()
        gtest_discover_tests(${name} TEST_PREFIX "${ZR_TEST_PREFIX}${name}." DISCOVERY_MODE PRE_TEST
                             PROPERTIES TIMEOUT 300)
    endif()
endfunction()
