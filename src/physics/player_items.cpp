// The carried items: choosing a slot and making its picture, using and
// eating, the examine panel, dropping in front of the player and picking up
// what lies ahead.
#include "physics/player_items.h"

#include <allegro.h>
#include <cstdio>

#include "physics/physics.h"
#include "physics/player.h"
#include "physics/triggers.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/error_report.h"
#include "shell/resources.h"
#include "shell/text.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"

static constexpr int DROP_HEIGHT = 10; // a dropped item starts this far above the feet
static constexpr int PICK_UP_REACH = 1;
static constexpr int NO_OTHER_OBJECT = -1; // the second object of a use, drop or pick-up

// Where the examine text may go on the panel.
static constexpr int TEXT_LEFT = 14;
static constexpr int TEXT_TOP = 13;
static constexpr int TEXT_RIGHT = 147;
static constexpr int LINE_GAP = 2;
static constexpr int TEXT_COLOUR = 0;
static constexpr int WORD_MAX = 39; // characters of a word, its trailing space included
static constexpr char WORD_END = ' ';
static constexpr char LINE_END = '\r';
static constexpr int DEFAULT_TEXT_SIZE = 96;

static constexpr int BLANK_PICTURE_SIZE = 1;

static const int slot_actions[INVENTORY_SLOTS] = {ACTION_SLOT_1, ACTION_SLOT_2, ACTION_SLOT_3,
                                                  ACTION_SLOT_4, ACTION_SLOT_5};
static const int food_defs[] = {DEF_JUG_OF_WATER, DEF_LOAF_OF_BREAD, DEF_PIECE_OF_CHICKEN};

static const char NOTICE_BLOCKED[] = "Blocked!";

int valid_world_object(int wobj)
{
    return wobj > PLAYER_WORLD_OBJECT && wobj < WORLD_OBJECT_COUNT;
}

static int valid_inventory_slot(int slot)
{
    return slot >= 0 && slot < INVENTORY_SLOTS;
}

static int valid_def(int def)
{
    return def >= 0 && def < OBJECT_DEF_COUNT;
}

int selected_item(void)
{
    return valid_inventory_slot(selected_slot) ? inventory[selected_slot] : EMPTY_SLOT;
}

// The picture of a carried item, or a blank 1 x 1 one. The panel draws the
// picture only for a full slot, but a picture always exists, so nothing
// ever draws a destroyed bitmap.
static BITMAP *make_item_picture(int wobj)
{
    BITMAP *image = nullptr;
    if (valid_world_object(wobj) && valid_def(world_objects[wobj].obj_def)) {
        const world_object &w = world_objects[wobj];
        image = datafile_bitmap(custom_datafile, w.frame + object_defs[w.obj_def].frames[0]);
    }
    int width = image != nullptr ? image->w : BLANK_PICTURE_SIZE;
    int height = image != nullptr ? image->h : BLANK_PICTURE_SIZE;
    BITMAP *picture = create_bitmap(width, height);
    if (picture == nullptr) {
        return nullptr;
    }
    if (image != nullptr) {
        blit(image, picture, 0, 0, 0, 0, width, height);
    } else {
        clear_to_color(picture, static_cast<int>(MASK_COLOUR));
    }
    return picture;
}

void select_slot(int slot)
{
    if (!valid_inventory_slot(slot)) {
        report_error("select_slot : invalid slot");
        return;
    }
    selected_slot = slot;
    if (item_picture != nullptr) {
        destroy_bitmap(item_picture);
    }
    item_picture = make_item_picture(inventory[slot]);
}

void slot_selection_step(void)
{
    for (int slot = 0; slot < INVENTORY_SLOTS; slot++) {
        if (check_action(slot_actions[slot])) {
            select_slot(slot);
            examined_object = NO_EXAMINED_OBJECT;
        }
    }
}

static int is_food(int def)
{
    for (int food : food_defs) {
        if (def == food) {
            return 1;
        }
    }
    return 0;
}

// Held, the action uses the item again every tick.
void use_step(void)
{
    int item = selected_item();
    if (!check_action(ACTION_USE) || item == EMPTY_SLOT) {
        return;
    }
    fire_triggers(item, NO_OTHER_OBJECT, EVENT_USE);
    if (!valid_world_object(item) || !is_food(world_objects[item].obj_def)) {
        return;
    }
    energy += FOOD_ENERGY;
    if (energy > ENERGY_MAX) {
        energy = ENERGY_MAX;
    }
    world_objects[item].used = WOBJ_FREE;
    if (inventory[selected_slot] == item) {
        inventory[selected_slot] = EMPTY_SLOT;
    }
}

// The game waits here, drawing nothing, until the examine key is let go: the
// panel's slide starts only after the wait, so the screen keeps the frame it
// showed. Runs fed only through the latch, and runs with no keyboard (the
// tests), have no key to wait for; a closed window ends the wait too.
static void wait_for_examine_key_release(void)
{
    if (input_from_latch_only || keyboard_driver == nullptr) {
        return;
    }
    int scancode = action_scancode(ACTION_EXAMINE);
    while (key[scancode] && !close_requested) {
        if (keyboard_needs_poll()) {
            poll_keyboard();
        }
        rest(1);
    }
}

void examine_step(void)
{
    if (!check_action(ACTION_EXAMINE)) {
        return;
    }
    if (examined_object == NO_EXAMINED_OBJECT) {
        int item = selected_item();
        if (item == EMPTY_SLOT) {
            return;
        }
        examined_object = item;
        build_examine_picture();
        examine_slide = 0;
    } else {
        examined_object = NO_EXAMINED_OBJECT;
    }
    wait_for_examine_key_release();
}

// The text of an examined object: its message, or the plain sentence with
// its name when it has none (or names a message that does not exist).
static const char *examine_text_of(int wobj, char *buffer, int size)
{
    const world_object &w = world_objects[wobj];
    if (w.examine_text != NO_MESSAGE) {
        const char *message = get_message(w.examine_text);
        if (message != nullptr) {
            return message;
        }
    }
    const char *name = valid_def(w.obj_def) ? object_defs[w.obj_def].name : "";
    snprintf(buffer, size, "It's %.*s, there is nothing unusual about it.", OBJECT_NAME_SIZE, name);
    return buffer;
}

struct text_pen {
    int x, y;
};

static void new_line(text_pen &pen)
{
    pen.y += text_height(font) + LINE_GAP;
    pen.x = TEXT_LEFT;
}

// Draws onto target, or only moves the pen when target is null (measuring).
static void draw_word(BITMAP *target, text_pen &pen, const char *word)
{
    if (word[0] == '\0') {
        return;
    }
    int width = text_length(font, word);
    if (pen.x + width > TEXT_RIGHT) {
        new_line(pen);
    }
    if (target != nullptr) {
        textout_ex(target, font, word, pen.x, pen.y, TEXT_COLOUR, text_bg);
    }
    pen.x += width;
}

// Word by word, wrapping before a word that would pass the right edge. A
// word longer than WORD_MAX characters is cut into pieces of WORD_MAX, each
// laid out as a word of its own: nothing of the text is lost and nothing
// is written past the word buffer. Returns the row just below the last line.
static int lay_out_text(BITMAP *target, const char *text)
{
    text_pen pen = {TEXT_LEFT, TEXT_TOP};
    char word[WORD_MAX + 1];
    int length = 0;
    for (const char *c = text; *c != '\0'; c++) {
        if (*c == LINE_END) {
            word[length] = '\0';
            draw_word(target, pen, word);
            length = 0;
            new_line(pen);
            if (c[1] != '\0') {
                c++; // the line feed that follows
            }
            continue;
        }
        word[length++] = *c;
        if (*c == WORD_END || length == WORD_MAX) {
            word[length] = '\0';
            draw_word(target, pen, word);
            length = 0;
        }
    }
    word[length] = '\0';
    draw_word(target, pen, word);
    return pen.y + text_height(font);
}

int examine_text_bottom(const char *text)
{
    return lay_out_text(nullptr, text);
}

void build_examine_picture(void)
{
    if (examine_picture == nullptr) {
        return;
    }
    clear_to_color(examine_picture, static_cast<int>(MASK_COLOUR));
    BITMAP *panel = datafile_bitmap(general_datafile, GENERAL_EXAMINE_PANEL);
    if (panel != nullptr) {
        draw_sprite(examine_picture, panel, 0, 0);
    }
    if (!valid_world_object(examined_object)) {
        return;
    }
    char buffer[DEFAULT_TEXT_SIZE];
    lay_out_text(examine_picture, examine_text_of(examined_object, buffer, sizeof buffer));
}

// The item against the player's box on its facing side, centred along the
// other axis (halves truncated towards zero).
static void place_in_front_of_player(world_object &w, const object_def &d)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    float centred_x = p.x - static_cast<float>((d.size_x - p.size_x) / 2);
    float centred_y = p.y - static_cast<float>((d.size_y - p.size_y) / 2);
    switch (p.facing) {
    case SIDE_LOW_Y:
        w.x = centred_x;
        w.y = p.y - d.size_y;
        break;
    case SIDE_HIGH_X:
        w.x = p.x + p.size_x;
        w.y = centred_y;
        break;
    case SIDE_HIGH_Y:
        w.x = centred_x;
        w.y = p.y + p.size_y;
        break;
    default:
        w.x = p.x - d.size_x;
        w.y = centred_y;
        break;
    }
}

static int can_drop(int slot)
{
    if (!valid_inventory_slot(slot) || !valid_world_object(inventory[slot])) {
        return 0;
    }
    int facing = sprite_table[PLAYER_SLOT].facing;
    return valid_def(world_objects[inventory[slot]].obj_def) && facing >= 0 &&
           facing < FACING_COUNT;
}

// A refused drop leaves everything as it was, the item's stored position
// included.
int drop_item(int slot)
{
    if (!can_drop(slot)) {
        return 0;
    }
    int k = get_sprite_id();
    if (k < 0) {
        return 0;
    }
    int wobj = inventory[slot];
    world_object &w = world_objects[wobj];
    const world_object kept = w;
    w.room = current_room;
    w.z = sprite_table[PLAYER_SLOT].z + DROP_HEIGHT;
    place_in_front_of_player(w, object_defs[w.obj_def]);
    init_sprite(k, wobj);
    sprite_record &s = sprite_table[k];
    // A reused slot still holds its last owner's requests; the item starts
    // still and falls from there.
    s.vx = s.vy = s.vz = 0;
    if (s.x < 0 || s.y < 0 || probe_blocked(k, 0, 0, 0)) {
        s.active = 0;
        w = kept;
        w.room = ROOM_CARRIED;
        set_notice(NOTICE_BLOCKED);
        return 0;
    }
    fire_triggers(wobj, NO_OTHER_OBJECT, EVENT_DROP);
    inventory[slot] = EMPTY_SLOT;
    return 1;
}

void pick_up_step(void)
{
    if (!pickup_pose || pickup_latch) {
        return;
    }
    pickup_latch = 1;
    if (!valid_inventory_slot(selected_slot) || selected_item() != EMPTY_SLOT) {
        return;
    }
    int k = find_sprite_ahead(PLAYER_SLOT, PICK_UP_REACH);
    if (k < 0 || sprite_table[k].fixed) {
        return;
    }
    int item = sprite_table[k].world_object;
    if (!valid_world_object(item)) {
        return;
    }
    sprite_table[k].active = 0;
    inventory[selected_slot] = item;
    world_objects[item].room = ROOM_CARRIED;
    select_slot(selected_slot);
    fire_triggers(item, NO_OTHER_OBJECT, EVENT_PICK_UP);
}
