// The message table: the whole messages.dat in one buffer and the start of
// every message in it.
#include "world/messages.h"

#include <cstdio>
#include <cstdlib>

#include "platform/data_file.h"
#include "platform/paths.h"
#include "shell/error_report.h"
#include "shell/startup.h"

static const char MESSAGES_FORMAT[] = "%s\\messages.dat";

char *message_text = nullptr;
int *message_offsets = nullptr;
int message_count = 0;

void free_messages(void)
{
    free(message_text);
    message_text = nullptr;
    free(message_offsets);
    message_offsets = nullptr;
    message_count = 0;
}

// Far more text than any castle holds; a larger file is not read, so its
// size never reaches the allocation.
static constexpr long MESSAGES_MAX_BYTES = 64L * 1024 * 1024;

// The whole file, with one NUL byte added after its end so that a last
// message without its own NUL still reads as a terminated string. Returns
// the file size, or -1 when it cannot be read.
static long read_whole_file(const char *path, char **buffer)
{
    long size = -1;
    const char *reason = nullptr;
    FILE *f = open_data_file(path, MESSAGES_MAX_BYTES, &size, &reason);
    if (f == nullptr) {
        report_skipped_file(path, reason);
        return -1;
    }
    *buffer = static_cast<char *>(malloc(static_cast<size_t>(size) + 1));
    if (*buffer == nullptr ||
        fread(*buffer, 1, static_cast<size_t>(size), f) != static_cast<size_t>(size)) {
        free(*buffer);
        *buffer = nullptr;
        size = -1;
        report_skipped_file(path, "read failed");
    } else {
        (*buffer)[size] = '\0';
    }
    fclose(f);
    return size;
}

// Message 0 starts at byte 0, and every NUL but the last byte starts the
// next one. The table holds MESSAGE_TABLE_START offsets; a file with more
// messages than that gets a table as large as it needs, so no text is lost.
// Entries past the last message point at the last byte of the file.
void load_messages_file(const char *path)
{
    free_messages();
    long size = read_whole_file(path, &message_text);
    if (size < 1) {
        return;
    }
    int needed = 1;
    for (long i = 0; i < size - 1; i++) {
        if (message_text[i] == '\0') {
            needed++;
        }
    }
    int capacity = needed > MESSAGE_TABLE_START ? needed : MESSAGE_TABLE_START;
    message_offsets = static_cast<int *>(malloc(sizeof(int) * static_cast<size_t>(capacity)));
    if (message_offsets == nullptr) {
        report_error("load_messages : out of memory");
        return;
    }
    for (int i = 0; i < capacity; i++) {
        message_offsets[i] = static_cast<int>(size - 1);
    }
    message_offsets[0] = 0;
    message_count = 1;
    for (long i = 0; i < size - 1; i++) {
        if (message_text[i] == '\0') {
            message_offsets[message_count++] = static_cast<int>(i + 1);
        }
    }
}

void load_messages(void)
{
    char path[256];
    format_data_path(path, sizeof path, MESSAGES_FORMAT, data_folder);
    load_messages_file(path);
}

const char *get_message(int number)
{
    if (number < 0 || number >= message_count) {
        return nullptr;
    }
    return message_text + message_offsets[number];
}
