// Game frame composition. Everything after the lighting (caption, panel,
// texts, examine picture) keeps its full colours.
#include "render/frame.h"

#include <allegro.h>
#include <cstdio>

#include "physics/physics.h"
#include "physics/player.h"
#include "render/lighting.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "shell/resources.h"
#include "shell/text.h"
#include "world/messages.h"
#include "world/rooms.h"

float reveal_scale = REVEAL_END_SCALE;

static constexpr int CAPTION_PLAQUE_LEFT = 13; // plaque starts this far left of the text's end
static constexpr int CAPTION_RIGHT = 5;        // the text ends this far from the right edge
static constexpr int CAPTION_PLAQUE_Y = 1;
static constexpr int CAPTION_TEXT_Y = 6;
static constexpr int SLOT_NUMBER_X = 13;
static constexpr int SLOT_NUMBER_Y = 192;
static constexpr int ITEM_CENTRE_X = 35;
static constexpr int ITEM_BASE_Y = 230; // the item's bottom row is one above
static constexpr int STATUS_RIGHT_X = 90;
static constexpr int STATUS_Y = 226;
static constexpr int EXAMINE_X = 142;
static constexpr int EXAMINE_BASE_Y = 254;
static constexpr int REVEAL_SOURCE_W = 160;
static constexpr int REVEAL_SOURCE_H = 120;
static constexpr int VIEW_CENTRE_X = 160;
static constexpr int VIEW_CENTRE_Y = 120;
static constexpr int NUMBER_TEXT_SIZE = 16; // room for any int

// Numbers are formatted on the stack and written with textout, since the
// library's printf-style text calls allocate their buffer on every call.
static const char *number_text(char (&text)[NUMBER_TEXT_SIZE], int n)
{
    snprintf(text, sizeof text, "%i", n);
    return text;
}

void draw_caption(void)
{
    if (current_room < 0 || current_room >= ROOM_COUNT) {
        return;
    }
    int description = rooms[current_room].description;
    const char *text = description >= 0 ? get_message(description) : nullptr;
    if (text == nullptr) {
        return;
    }
    int w = text_length(font, text);
    BITMAP *plaque = datafile_bitmap(general_datafile, GENERAL_CAPTION_PLAQUE);
    if (plaque != nullptr) {
        draw_masked_sprite(backbuffer, plaque, VIEW_W - w - CAPTION_PLAQUE_LEFT, CAPTION_PLAQUE_Y);
    }
    textout_ex(backbuffer, font, text, VIEW_W - w - CAPTION_RIGHT, CAPTION_TEXT_Y, makecol(0, 0, 0),
               text_bg);
}

void draw_panel(void)
{
    int black = makecol(0, 0, 0);
    BITMAP *panel = datafile_bitmap(general_datafile, GENERAL_PANEL);
    if (panel != nullptr) {
        draw_masked_sprite(backbuffer, panel, 0, PANEL_Y);
    }
    char text[NUMBER_TEXT_SIZE];
    textout_ex(backbuffer, font, number_text(text, selected_slot + 1), SLOT_NUMBER_X, SLOT_NUMBER_Y,
               black, text_bg);
    if (inventory[selected_slot] != EMPTY_SLOT && item_picture != nullptr) {
        draw_masked_sprite(backbuffer, item_picture, ITEM_CENTRE_X - item_picture->w / 2,
                           ITEM_BASE_Y - item_picture->h);
    }
    if (notice_timer > 0) {
        notice_timer--;
        textout_right_ex(backbuffer, font, notice_text, STATUS_RIGHT_X, STATUS_Y, black, text_bg);
    } else {
        textout_right_ex(backbuffer, font, number_text(text, static_cast<int>(energy)),
                         STATUS_RIGHT_X, STATUS_Y, black, text_bg);
    }
}

void draw_examine_picture(void)
{
    if (examined_object == NO_EXAMINED_OBJECT || examine_picture == nullptr) {
        return;
    }
    if (examine_slide < EXAMINE_SLIDE_END) {
        examine_slide += EXAMINE_SLIDE_STEP;
    }
    draw_masked_sprite(backbuffer, examine_picture, EXAMINE_X, EXAMINE_BASE_Y - examine_slide);
}

void draw_reveal(void)
{
    if (reveal_scale >= REVEAL_END_SCALE) {
        return;
    }
    reveal_scale *= REVEAL_GROWTH;
    float w = static_cast<float>(static_cast<int>(reveal_scale));
    float h = static_cast<float>(static_cast<int>(reveal_scale) * 0.75);
    int left = static_cast<int>(VIEW_CENTRE_X - w / 2),
        top = static_cast<int>(VIEW_CENTRE_Y - h / 2);
    BITMAP *mask = datafile_bitmap(custom_datafile, REVEAL_MASK_IMAGE);
    if (mask != nullptr && mask->w >= REVEAL_SOURCE_W && mask->h >= REVEAL_SOURCE_H) {
        masked_stretch_blit(mask, backbuffer, 0, 0, REVEAL_SOURCE_W, REVEAL_SOURCE_H, left, top,
                            static_cast<int>(w), static_cast<int>(h));
    }
    rectfill(backbuffer, 0, 0, left, VIEW_H, 0);
    rectfill(backbuffer, static_cast<int>(w / 2 + VIEW_CENTRE_X), 0, VIEW_W, VIEW_H, 0);
    rectfill(backbuffer, 0, 0, VIEW_W, top, 0);
    rectfill(backbuffer, 0, static_cast<int>(h / 2 + VIEW_CENTRE_Y - 1), VIEW_W, VIEW_H, 0);
}

void compose_game_frame(void)
{
    clear_around_room_background();
    draw_room_background();
    draw_room_polygons();
    draw_sprites();
    apply_lighting();
    draw_caption();
    draw_panel();
    draw_examine_picture();
    draw_reveal();
}
