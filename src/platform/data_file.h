// Opening a file the program reads: only a regular file of a sane size is
// read, so a folder, a device, a pipe or a loop of links standing where a
// file should be is one more file that cannot be read, with a reason.
#pragma once

#include <cstdio>

// No bound on the size (readers that fill fixed tables record by record).
constexpr long ANY_FILE_SIZE = -1;

// Opens path for binary reading when it is a regular file of at most
// max_bytes (ANY_FILE_SIZE: any size), and stores its size in *size when
// size is not null. Otherwise returns null and stores in *reason a short
// text saying why (valid until the next call).
FILE *open_data_file(const char *path, long max_bytes, long *size, const char **reason);

// Why path cannot be read as a file of at most max_bytes, or null when it
// can (for readers that open it their own way afterwards).
const char *data_file_problem(const char *path, long max_bytes);

// One line on standard error: the file, and why it was not read; the
// program goes on without it.
void report_skipped_file(const char *path, const char *reason);
