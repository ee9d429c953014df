#pragma once

#include "comm/threadhandoff.h"

// Include from exactly one source file of a test executable.
#if defined(__SANITIZE_THREAD__)
extern "C" const char *__tsan_default_suppressions() {
    return threadhandoff::kSanitizerSuppressions;
}
#endif
