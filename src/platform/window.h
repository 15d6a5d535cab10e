// Window placement. On Windows the desktop and window rectangles come from
// GetDesktopWindow/GetWindowRect; here from Xlib.
#pragma once

// Outer size and position of the game window and the desktop, in pixels.
// Returns 0 when there is no window to ask about.
int platform_window_rects(int *win_x, int *win_y, int *win_w, int *win_h, int *desk_w, int *desk_h);

// 1 when a window of w x h pixels can be shown on the desktop. The X11 driver
// opens windows of any size, even far larger than the screen or of no size
// at all, where the game's first platform refused them; the refusal is made
// here so a nonsense zoom gives the same start-up failure everywhere.
int platform_window_fits(int w, int h);

// Moves the game window's top-left corner to (x, y) on the desktop.
void platform_move_window(int x, int y);

// The exit status of a program whose display went away.
constexpr int PLATFORM_DISPLAY_LOST_STATUS = 1;

// From now on a lost display ends the program at once with that status.
void platform_exit_when_display_lost(void);

// The rows of the window's picture as the X11 driver keeps them, when the
// game may write them itself: a linear screen of depth bits a pixel and at
// least w x h pixels. nullptr otherwise (the caller then draws through the
// library). Call with the screen acquired.
unsigned char **platform_screen_rows(int w, int h, int depth);

// Sends the w x h pixels of those rows from row top down, at the left edge,
// to the window as one image: the request the library's own blit to the
// screen ends with.
void platform_show_screen_rows(int top, int w, int h);
