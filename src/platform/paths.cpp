// Path forming for the data folder.
#include "platform/paths.h"

#include <cstdio>

static constexpr char PLATFORM_SEPARATOR = '/';

void format_data_path(char *out, size_t out_size, const char *format, const char *folder)
{
    if (out_size == 0) {
        return;
    }
    snprintf(out, out_size, format, folder);
    for (char *p = out; *p != '\0'; p++) {
        if (*p == '\\') {
            *p = PLATFORM_SEPARATOR;
        }
    }
}
