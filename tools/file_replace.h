// Files written by the tools replace their old versions whole: each is first
// written to a temporary file beside it, then renamed over it, so a run that
// fails (a full disk, a bad path) leaves the old files as they were.
#pragma once

#include <string>
#include <vector>

struct file_bytes {
    std::string path;
    std::string bytes;
};

// The temporary file a target is first written to (beside it, so the rename
// stays on one file system).
std::string temporary_beside(const std::string &path);

// Renames the temporary of path over path; removes the temporary and returns
// 0 when written is 0 or the rename fails.
int commit_temporary(const std::string &path, int written);

// Files that belong together: every temporary is written first, and only
// when all were written are they renamed over their targets. 1 on success;
// on failure error names the file and no target has changed.
int replace_files(const std::vector<file_bytes> &files, std::string &error);
