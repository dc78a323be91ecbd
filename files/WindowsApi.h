#pragma once

// The Windows API without the min/max macros and the rarely used headers,
// for the few files that call it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
