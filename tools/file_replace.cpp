// Whole-file replacement through temporaries beside the targets.
#include "file_replace.h"

#include <cstdio>

std::string temporary_beside(const std::string &path)
{
    return path + ".tmp";
}

int commit_temporary(const std::string &path, int written)
{
    std::string temporary = temporary_beside(path);
    if (written && rename(temporary.c_str(), path.c_str()) == 0) {
        return 1;
    }
    remove(temporary.c_str());
    return 0;
}

// Writes and closes the temporary of one file; a full disk shows at the
// write or at the close's flush.
static int write_temporary(const file_bytes &file)
{
    FILE *f = fopen(temporary_beside(file.path).c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    size_t written = fwrite(file.bytes.data(), 1, file.bytes.size(), f);
    int closed = fclose(f) == 0;
    return written == file.bytes.size() && closed;
}

int replace_files(const std::vector<file_bytes> &files, std::string &error)
{
    for (size_t i = 0; i < files.size(); i++) {
        if (!write_temporary(files[i])) {
            error = files[i].path + ": cannot write the file";
            for (size_t k = 0; k <= i; k++) {
                remove(temporary_beside(files[k].path).c_str());
            }
            return 0;
        }
    }
    for (const file_bytes &file : files) {
        if (!commit_temporary(file.path, 1)) {
            error = file.path + ": cannot replace the file";
            return 0;
        }
    }
    return 1;
}
