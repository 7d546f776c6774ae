#include "platform/Memory.h"

#include <cstdlib> // defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quill::platform {

void returnFreedMemory() {
#if defined(__GLIBC__)
    // glibc keeps freed blocks of its arenas mapped; other C libraries return them themselves.
    malloc_trim(0);
#endif
}

} // namespace quill::platform
