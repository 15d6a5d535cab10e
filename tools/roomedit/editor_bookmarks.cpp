// Bookmarks are one room a line in the game folder; lines that are not a
// room are left out, and the list is kept sorted.
#include "editor_bookmarks.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "edit_ops.h"
#include "file_replace.h"
#include "platform/data_file.h"

static const char BOOKMARKS_FILE[] = "roomedit-bookmarks.txt";
static constexpr long BOOKMARKS_MAX_BYTES = 64L * 1024; // a line for every room and then some

void load_bookmarks(const world_image &world, std::vector<int> &bookmarks)
{
    bookmarks.clear();
    const char *reason = nullptr;
    FILE *f = open_data_file(BOOKMARKS_FILE, BOOKMARKS_MAX_BYTES, nullptr, &reason);
    if (f == nullptr) {
        for (int room = 0; room < ROOM_COUNT; room++) {
            if (room_is_defined(world, room)) {
                bookmarks.push_back(room);
            }
        }
        return;
    }
    char line[32];
    while (fgets(line, sizeof line, f) != nullptr) {
        int room = -1;
        if (sscanf(line, "%d", &room) == 1 && room >= 0 && room < ROOM_COUNT &&
            std::find(bookmarks.begin(), bookmarks.end(), room) == bookmarks.end()) {
            bookmarks.push_back(room);
        }
    }
    fclose(f);
    std::sort(bookmarks.begin(), bookmarks.end());
}

int toggle_bookmark(std::vector<int> &bookmarks, int room)
{
    auto at = std::find(bookmarks.begin(), bookmarks.end(), room);
    if (at == bookmarks.end()) {
        bookmarks.insert(std::upper_bound(bookmarks.begin(), bookmarks.end(), room), room);
    } else {
        bookmarks.erase(at);
    }
    std::string text;
    for (int r : bookmarks) {
        text += std::to_string(r) + "\n";
    }
    std::string error;
    return replace_files({{BOOKMARKS_FILE, text}}, error);
}
