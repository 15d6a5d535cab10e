// The error reporter used after start-up for inconsistent ids and full
// tables: one line on a status bar, then a wait for Space.
#pragma once

constexpr int STATUS_BAR_FILL = 102; // raw pixel value: a dark blue

// Shows text on the status bar, waits for Space to be pressed and released,
// and returns; the caller goes on with its own failure path. With no screen
// (tools, tests) it only records and prints the text.
void report_error(const char *text);

// Draws the one-line status bar straight on the screen.
void status_notice(const char *text, int fill);

// What was reported, so tools and tests can see it without a keyboard.
extern int reported_error_count;
extern char last_reported_error[256];
