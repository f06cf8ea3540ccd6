# Flags for the project's own targets (third-party code is added before this file).
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)

if(WIN32)
    # The target Windows version for every compiler call: a standard header included before
    # the platform header would otherwise bring the toolchain's newer default, and structures
    # whose size depends on it would differ between files.
    add_compile_definitions(UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501)
    # Static C, C++ and thread runtimes: every binary depends on system DLLs only.
    add_link_options(-static -static-libgcc -static-libstdc++)
    # Every function and datum in a section of its own, and the linker drops those nothing
    # refers to. For this target that is little (0.5% of the program): the exception tables
    # refer to every function that has unwind entries, so only data and leaf code go.
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections)
endif()
