# Flags for the project's own targets (third-party code is added before this file).
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)

if(WIN32)
    # One platform header sets the Windows version; this keeps every compiler call in step.
    add_compile_definitions(UNICODE _UNICODE)
    # Static C, C++ and thread runtimes: every binary depends on system DLLs only.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()
