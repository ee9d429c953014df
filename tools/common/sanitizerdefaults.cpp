// Linked into every executable of the project (an object library, so the linker cannot drop
// it the way it drops unreferenced archive members): a ThreadSanitizer build then knows
// about Qt's own synchronisation without each program or test having to opt in.
#include "comm/threadhandoff.h"

#if defined(__SANITIZE_THREAD__)
extern "C" const char *__tsan_default_suppressions() {
    return threadhandoff::kSanitizerSuppressions;
}
#endif
