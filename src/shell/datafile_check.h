// A walk over a datafile's structure before the library loads it: the
// library's loader follows whatever sizes and types a damaged file claims
// and can crash, so a file that does not hold together is refused first.
#pragma once

// 1 when the file opens and every object it declares is whole (every size
// stays inside the file, every image holds its pixels); else 0.
int datafile_is_whole(const char *path);
