#pragma once

// The forms' own constants for window messages and styles must be declared before <windows.h>
// turns the same names into macros.
#include "platform/Desktop.h"

#include <windows.h>
