// Data paths are written in the Windows form "%s\\name"; this turns them
// into paths of the platform the game runs on.
#pragma once

#include <cstddef>

// Formats format (one %s) with folder into out, then turns every backslash
// into the platform's separator. The result is always NUL-terminated.
void format_data_path(char *out, size_t out_size, const char *format, const char *folder);
