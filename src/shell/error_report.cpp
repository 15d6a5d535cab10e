// Status bar and error reporter. Both draw on the real screen, unscaled, and
// stay until the next presented frame covers them.
#include "shell/error_report.h"

#include <allegro.h>
#include <cstdio>

#include "shell/resources.h"
#include "shell/text.h"
#include "shell/timing.h"

int reported_error_count = 0;
char last_reported_error[256];

static constexpr int BAR_TOP = 220;
static constexpr int BAR_BOTTOM = 239;
static constexpr int BAR_RIGHT = 319;
static constexpr int BAR_TEXT_X = 7;
static constexpr int BAR_TEXT_Y = 227;
static constexpr int WAIT_POLL_MS = 1;

// Waits until Space is down (or up), giving the processor back between
// polls. A close request (the window's button, SIGTERM) ends the wait so the
// program can end through its normal teardown.
static void wait_for_space(int down)
{
    while ((key[KEY_SPACE] != 0) != down && !close_requested) {
        rest(WAIT_POLL_MS);
    }
}

void status_notice(const char *text, int fill)
{
    if (screen == nullptr) {
        return;
    }
    acquire_screen();
    rectfill(screen, 0, BAR_TOP, BAR_RIGHT, BAR_BOTTOM, fill);
    textout_ex(screen, font, text, BAR_TEXT_X, BAR_TEXT_Y, makecol(255, 255, 255), text_bg);
    release_screen();
    forget_presented_view(); // the next frame covers the bar
}

void report_error(const char *text)
{
    reported_error_count++;
    snprintf(last_reported_error, sizeof last_reported_error, "%s", text);
    fprintf(stderr, "%s\n", text);
    if (screen == nullptr) {
        return;
    }
    status_notice(text, STATUS_BAR_FILL);
    // Only the waits need a keyboard; without one the bar stays and play
    // goes on.
    if (!keyboard_driver) {
        return;
    }
    wait_for_space(1);
    acquire_screen();
    rect(screen, 0, 460, 639, 479, makecol(255, 255, 255));
    release_screen();
    forget_presented_view();
    wait_for_space(0);
}
