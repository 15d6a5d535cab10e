// Xlib access to the game window that Allegro opened. The top-level window
// is _xwin.wm_window (its child _xwin.window holds the picture).
#include "platform/window.h"

#include <allegro.h>
#include <xalleg.h>

#include <unistd.h>

int platform_window_rects(int *win_x, int *win_y, int *win_w, int *win_h, int *desk_w, int *desk_h)
{
    if (_xwin.display == nullptr || _xwin.wm_window == None) {
        return 0;
    }
    XLOCK();
    Window root;
    int x, y;
    unsigned int w, h, border, depth;
    XGetGeometry(_xwin.display, _xwin.wm_window, &root, &x, &y, &w, &h, &border, &depth);
    int rx, ry;
    unsigned int rw, rh;
    XGetGeometry(_xwin.display, root, &root, &rx, &ry, &rw, &rh, &border, &depth);
    XUNLOCK();
    *win_x = x;
    *win_y = y;
    *win_w = static_cast<int>(w);
    *win_h = static_cast<int>(h);
    *desk_w = static_cast<int>(rw);
    *desk_h = static_cast<int>(rh);
    return 1;
}

void platform_move_window(int x, int y)
{
    if (_xwin.display == nullptr || _xwin.wm_window == None) {
        return;
    }
    XLOCK();
    XMoveWindow(_xwin.display, _xwin.wm_window, x, y);
    XSync(_xwin.display, False);
    XUNLOCK();
}

int platform_window_fits(int w, int h)
{
    if (w < 1 || h < 1) {
        return 0;
    }
    if (_xwin.display == nullptr) {
        return 1; // no desktop to measure: let the library decide
    }
    XLOCK();
    int desk_w = DisplayWidth(_xwin.display, _xwin.screen);
    int desk_h = DisplayHeight(_xwin.display, _xwin.screen);
    XUNLOCK();
    return w <= desk_w && h <= desk_h;
}

// The X library's own handler for a lost display calls exit(), whose exit
// handlers wait on the display lock that the main thread may hold in the
// middle of a frame: the program would hang. Nothing can be drawn or shown
// once the display is gone, so the program ends at once.
static int display_lost(Display *)
{
    _exit(PLATFORM_DISPLAY_LOST_STATUS);
}

void platform_exit_when_display_lost(void)
{
    XSetIOErrorHandler(display_lost);
}

// The driver's update of a screen rectangle: the image request its drawing
// calls end with. Exported by the library but left out of its headers.
extern "C" void _xwin_update_screen(int x, int y, int w, int h);

unsigned char **platform_screen_rows(int w, int h, int depth)
{
    if (screen == nullptr || gfx_driver == nullptr || gfx_driver->id != GFX_XWINDOWS) {
        return nullptr;
    }
    if (bitmap_color_depth(screen) != depth || !is_linear_bitmap(screen) || screen->w < w ||
        screen->h < h) {
        return nullptr;
    }
    return screen->line;
}

void platform_show_screen_rows(int top, int w, int h)
{
    _xwin_update_screen(0, top, w, h);
}
