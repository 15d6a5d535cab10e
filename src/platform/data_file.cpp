// Opening files for reading after checking what they are: fopen succeeds on
// a folder (whose size then reads as LONG_MAX) and blocks on a pipe, so the
// file is opened without waiting and its kind and size are asked of the open
// descriptor.
#include "platform/data_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const char NOT_A_FILE[] = "not a regular file";
static const char TOO_LARGE[] = "too large";

FILE *open_data_file(const char *path, long max_bytes, long *size, const char **reason)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = strerror(errno);
        return nullptr;
    }
    struct stat st;
    const char *problem = nullptr;
    if (fstat(fd, &st) != 0) {
        problem = strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        problem = NOT_A_FILE;
    } else if (max_bytes != ANY_FILE_SIZE && st.st_size > max_bytes) {
        problem = TOO_LARGE;
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        problem = strerror(errno);
    }
    FILE *f = problem == nullptr ? fdopen(fd, "rb") : nullptr;
    if (f == nullptr) {
        *reason = problem != nullptr ? problem : strerror(errno);
        close(fd);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<long>(st.st_size);
    }
    return f;
}

const char *data_file_problem(const char *path, long max_bytes)
{
    const char *reason = nullptr;
    FILE *f = open_data_file(path, max_bytes, nullptr, &reason);
    if (f != nullptr) {
        fclose(f);
    }
    return reason;
}

void report_skipped_file(const char *path, const char *reason)
{
    fprintf(stderr, "%s: skipped (%s)\n", path, reason);
}
