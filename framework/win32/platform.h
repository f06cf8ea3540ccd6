// The one place that includes <windows.h>: every Win32 file includes this header instead,
// so the trimmed header set is the same everywhere. The build sets the target Windows version
// on the command line; the values here serve a file compiled outside the build.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WINVER
#define WINVER 0x0501
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif

#include <windows.h>

// The library's own TextOut, DrawText and RegisterClass; Win32 calls name the W functions
// explicitly.
#undef TextOut
#undef DrawText
#undef RegisterClass
