// Files written by the tools replace their old versions whole, and files that
// belong together are replaced together: each new version is first written to
// a temporary file beside its target, and only when all are whole are they
// renamed over the targets. The old versions are kept as hard links until the
// last rename, and a journal beside the first file lists what is being replaced,
// so a failure rolls every target back, and a run killed part-way is rolled
// back by the next recover_replaced_files of that folder.
#pragma once

#include <string>
#include <vector>

struct file_bytes {
    std::string path;
    std::string bytes;
    int remove = 0; // 1: the file is removed instead of written
};

// Test hook: the numbered file step (1: the first write, link, rename or
// removal since file_steps_taken was last set to 0) fails as if the system
// had refused it. 0: no step fails.
extern int failing_file_step;
extern int file_steps_taken;

// The temporary file a target is first written to (beside it, so the rename
// stays on one file system).
std::string temporary_beside(const std::string &path);

// Renames the temporary of path over path; removes the temporary and returns
// 0 when written is 0 or the rename fails.
int commit_temporary(const std::string &path, int written);

// Files that belong together (all in one folder): every temporary is written
// first, then all are renamed over their targets. 1 on success; on failure
// every target holds its old bytes again and error is "path: reason".
int replace_files(const std::vector<file_bytes> &files, std::string &error);

// Finishes what a killed replace_files left in folder: the targets of an
// unfinished replacement get their old versions back, and its temporaries,
// kept old versions and journal are removed.
void recover_replaced_files(const std::string &folder);
