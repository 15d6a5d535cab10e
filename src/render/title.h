// The title screen that stands between start-up and the game.
#pragma once

constexpr int TITLE_BEGIN = 1;
constexpr int TITLE_QUIT = 0;
constexpr int TITLE_NO_CHOICE = -1;

// One look at the keys: TITLE_BEGIN when Space is down (Escape or not),
// TITLE_QUIT when only Escape is, else TITLE_NO_CHOICE.
int read_title_choice(void);

// Shows the title and waits: TITLE_BEGIN on Space (also with Escape held),
// TITLE_QUIT on Escape or when the window is closed.
int title_screen(void);

// Draws the six title lines onto the back buffer.
void draw_title(void);
