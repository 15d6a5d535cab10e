// The start-up failure box. On Windows this is MessageBoxA; here it is a
// stand-in that writes to standard error and, with a display, shows a window.
#pragma once

// Shows title and text and returns when the user has closed the box.
// Always writes both to standard error first.
void platform_message_box(const char *title, const char *text);

// Set (from a signal handler) when the program is asked to end: an open box
// then closes.
extern volatile int message_box_end_requested;
