// What the picture tools (room pictures, the castle map, the contact sheet)
// share: a headless game over a game folder, and PNG files written whole.
#pragma once

#include <allegro.h>
#include <string>

// Makes the game folder the working folder and brings up the game without a
// window: the library, both datafiles, the view buffers, the world and the
// text mode. On failure says why, naming the tool, and returns 0.
int start_headless_game(const char *tool, const char *game_dir);

// Writes picture as a 24-bit PNG (a 32-bit one would carry its unused fourth
// byte as a fully transparent alpha), through a temporary beside the file.
// On failure says why, naming the tool, and returns 0.
int save_picture_png(const char *tool, BITMAP *picture, const std::string &path);

// A 32-bit picture reduced to w x h, each pixel the average of the source
// area under it, with pixels of the mask colour counting as clear: the
// result carries the covered share as alpha in its fourth byte.
BITMAP *reduce_picture(BITMAP *picture, int w, int h);
