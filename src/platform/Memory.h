#pragma once

namespace quill::platform {

// Hands memory the program has freed back to the system, so that one large feed does not leave
// the bar large for the rest of the day.
void returnFreedMemory();

} // namespace quill::platform
