// Whole-file replacement through temporaries beside the targets, with the old
// versions kept until every new one is in place.
#include "file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

int failing_file_step = 0;
int file_steps_taken = 0;

static const char TEMPORARY_SUFFIX[] = ".tmp";
static const char KEPT_SUFFIX[] = ".replaced";     // an old version kept for a roll-back
static const char JOURNAL_SUFFIX[] = ".replacing"; // beside the first target: what is replaced
static const char *const LEFTOVER_SUFFIXES[] = {".dat.tmp", ".toml.tmp", KEPT_SUFFIX};

// Counts a file step; 1 when the test hook makes it fail.
static int step_fails(void)
{
    if (failing_file_step > 0 && ++file_steps_taken == failing_file_step) {
        errno = EIO;
        return 1;
    }
    return 0;
}

static std::string reason(const std::string &path)
{
    return path + ": " + strerror(errno);
}

std::string temporary_beside(const std::string &path)
{
    return path + TEMPORARY_SUFFIX;
}

static std::string kept_beside(const std::string &path)
{
    return path + KEPT_SUFFIX;
}

static std::string journal_of(const std::vector<file_bytes> &files)
{
    return files[0].path + JOURNAL_SUFFIX;
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

// Writes, flushes to the disk and closes one file; a full disk shows at the
// write, the flush or the close.
static int write_whole(const std::string &path, const std::string &bytes)
{
    if (step_fails()) {
        return 0;
    }
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    int ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && fflush(f) == 0 && fsync(fileno(f)) == 0;
    const int saved = errno;
    ok = fclose(f) == 0 && ok;
    errno = ok ? errno : saved;
    return ok;
}

static int target_exists(const std::string &path)
{
    std::error_code failure;
    return fs::is_regular_file(path, failure) ? 1 : 0;
}

// Puts every target back as the journal says it was, then forgets the
// replacement.
static void roll_back(const std::vector<file_bytes> &files, const std::vector<int> &had_old)
{
    for (size_t i = files.size(); i-- > 0;) {
        const std::string &path = files[i].path;
        if (had_old[i] && target_exists(kept_beside(path))) {
            // Renaming a link over its own file does nothing, so the kept
            // name is removed after.
            rename(kept_beside(path).c_str(), path.c_str());
            unlink(kept_beside(path).c_str());
        } else if (!had_old[i] && !files[i].remove) {
            unlink(path.c_str()); // never a directory that stood in the way
        }
        unlink(temporary_beside(path).c_str());
    }
    unlink(journal_of(files).c_str());
}

// Each line: 1 or 0 (the target had an old version), a space, the path.
static int write_journal(const std::vector<file_bytes> &files, const std::vector<int> &had_old)
{
    std::string text;
    for (size_t i = 0; i < files.size(); i++) {
        text += std::to_string(had_old[i]) + (files[i].remove ? "r " : "w ") + files[i].path + "\n";
    }
    return write_whole(journal_of(files), text);
}

// The old version stays reachable under a second name while the target is
// replaced.
static int keep_old(const std::string &path)
{
    const std::string kept = kept_beside(path);
    remove(kept.c_str());
    return !step_fails() && link(path.c_str(), kept.c_str()) == 0;
}

static int put_in_place(const file_bytes &file)
{
    if (step_fails()) {
        return 0;
    }
    if (file.remove) {
        return unlink(file.path.c_str()) == 0 || errno == ENOENT;
    }
    return rename(temporary_beside(file.path).c_str(), file.path.c_str()) == 0;
}

static int ends_with(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Rolls back the replacement a journal describes, if a killed run left one.
static void roll_back_journal(const std::string &journal_path)
{
    std::ifstream journal(journal_path);
    std::vector<file_bytes> files;
    std::vector<int> had_old;
    std::string line;
    while (std::getline(journal, line)) {
        if (line.size() > 3) {
            had_old.push_back(line[0] == '1');
            files.push_back({line.substr(3), "", line[1] == 'r'});
        }
    }
    if (!files.empty()) {
        roll_back(files, had_old);
    }
    unlink(journal_path.c_str());
}

int replace_files(const std::vector<file_bytes> &files, std::string &error)
{
    if (files.empty()) {
        return 1;
    }
    roll_back_journal(journal_of(files));
    std::vector<int> had_old;
    for (const file_bytes &file : files) {
        had_old.push_back(target_exists(file.path));
        unlink(kept_beside(file.path).c_str()); // never taken for this run's old version
    }
    for (size_t i = 0; i < files.size(); i++) {
        if (!files[i].remove && !write_whole(temporary_beside(files[i].path), files[i].bytes)) {
            error = reason(files[i].path);
            for (size_t k = 0; k <= i; k++) {
                remove(temporary_beside(files[k].path).c_str());
            }
            return 0;
        }
    }
    if (!write_journal(files, had_old)) {
        error = reason(journal_of(files));
        roll_back(files, had_old);
        return 0;
    }
    for (size_t i = 0; i < files.size(); i++) {
        if (had_old[i] && !keep_old(files[i].path)) {
            error = reason(files[i].path);
            roll_back(files, had_old);
            return 0;
        }
    }
    for (const file_bytes &file : files) {
        if (!put_in_place(file)) {
            error = reason(file.path);
            roll_back(files, had_old);
            return 0;
        }
    }
    // The journal's removal is the moment the new versions count.
    unlink(journal_of(files).c_str());
    for (const file_bytes &file : files) {
        remove(kept_beside(file.path).c_str());
    }
    return 1;
}

void recover_replaced_files(const std::string &folder)
{
    std::error_code failure;
    std::vector<std::string> journals, leftovers;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, failure)) {
        const std::string name = entry.path().filename().string();
        if (ends_with(name, JOURNAL_SUFFIX)) {
            journals.push_back(entry.path().string());
        }
        for (const char *suffix : LEFTOVER_SUFFIXES) {
            if (ends_with(name, suffix)) {
                leftovers.push_back(entry.path().string());
            }
        }
    }
    for (const std::string &journal : journals) {
        roll_back_journal(journal);
    }
    for (const std::string &path : leftovers) {
        unlink(path.c_str());
    }
}
