#include "platform/Memory.h"

#include <windows.h>

namespace quill::platform {

void returnFreedMemory() {
    // Large blocks go back to the system when freed; compacting decommits what the smaller
    // ones left free.
    HeapCompact(GetProcessHeap(), 0);
}

} // namespace quill::platform
