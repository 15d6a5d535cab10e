// The message texts: every examine text and room caption, read whole from
// messages.dat (NUL-terminated strings back to back) and found by number.
#pragma once

constexpr int MESSAGE_TABLE_START = 256; // offsets held before the table grows

extern char *message_text;   // the whole file, plus one NUL after its end
extern int *message_offsets; // start of each message within message_text
extern int message_count;    // 0 when there is no file

// Reads "%s\\messages.dat" from the data folder.
void load_messages(void);
// Reads a message file from an explicit path (tools and tests). Whatever
// was loaded before is released first.
void load_messages_file(const char *path);
// The text of message number, or null when number is not a message.
const char *get_message(int number);
void free_messages(void);
