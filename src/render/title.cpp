// Title screen: six centred lines on a near-black screen, then a wait for
// Space or Escape.
#include "render/title.h"

#include <allegro.h>

#include "shell/resources.h"
#include "shell/text.h"
#include "shell/timing.h"

static constexpr int TITLE_CENTRE_X = 160;
static constexpr int TITLE_BACKGROUND = 1; // raw pixel value, practically black
static constexpr int FADE_BEFORE = 64;
static constexpr int FADE_AFTER = 8;

struct title_line {
    int y;
    int r, g, b;
    const char *text;
};

static const title_line title_lines[] = {
    {30, 230, 230, 50, "-- QUILLMERE --"},
    {55, 230, 230, 230, "An unfinished tribute to Duskwater"},
    {79, 230, 230, 230, "It might freeze when you exit"},
    {91, 230, 230, 230, "End Task it if it does"},
    {154, 230, 230, 230, "See ReadMe.txt for instructions"},
    {210, 200, 200, 200, "Spacebar to begin    Escape to quit"},
};

void draw_title(void)
{
    clear_to_color(backbuffer, TITLE_BACKGROUND);
    for (const title_line &line : title_lines) {
        textout_centre_ex(backbuffer, font, line.text, TITLE_CENTRE_X, line.y,
                          makecol(line.r, line.g, line.b), text_bg);
    }
}

// The waits give the processor back between polls (rest(1)): nothing else
// happens on the title screen, so there is no reason to spin.
int read_title_choice(void)
{
    int choice = TITLE_NO_CHOICE;
    if (key[KEY_ESC]) {
        choice = TITLE_QUIT;
    }
    if (key[KEY_SPACE]) {
        choice = TITLE_BEGIN;
    }
    return choice;
}

// Keys are polled while the keyboard thread updates them one event at a
// time, so two keys pressed together can be seen one after the other. Once
// a key is seen, a short pause lets the other arrive: keys pressed within it
// count as pressed together (Space then wins, as it does when both are down).
static constexpr int CHORD_MS = 40;

static int wait_for_choice(void)
{
    for (;;) {
        int choice = read_title_choice();
        if (choice != TITLE_NO_CHOICE) {
            rest(CHORD_MS);
            int settled = read_title_choice();
            return settled != TITLE_NO_CHOICE ? settled : choice;
        }
        if (close_requested) {
            return TITLE_QUIT;
        }
        rest(1);
    }
}

int title_screen(void)
{
    fade_out(FADE_BEFORE);
    draw_title();
    present_frame();
    int choice = wait_for_choice();
    fade_out(FADE_AFTER);
    while ((key[KEY_SPACE] || key[KEY_ESC]) && !close_requested) {
        rest(1);
    }
    clear_to_color(backbuffer, TITLE_BACKGROUND);
    present_frame();
    return choice;
}
