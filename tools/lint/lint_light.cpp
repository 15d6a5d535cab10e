// The visibility check: the room drawn as the game draws it, the player at
// each entrance, every torch at the weakest strength its flicker draws (the
// worst frame a player sees), and the player's pixels measured.
//
// Why 20: measured on the player's figure (saffron tunic, dark breeches; a
// mean luminance of 87 in full light) at the castle's entrances, and looked
// at in the pictures. At 40 (brightness 5 away from torches) the figure reads
// plainly; at 21 (the darkest entrance of the long gallery) the tunic and the
// face still read while the legs fade into the floor; at 13 (the entrance
// hall dimmed to brightness 3) only a faint shape is left, and at 5 and below
// nothing. 20 keeps every entrance on the readable side of that line.
#include "lint_light.h"

#include <allegro.h>

#include "physics/player.h"
#include "physics/physics.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int LEAST_SHOWING = 4; // a quarter of the player must show
constexpr int LUMA_RED = 299;    // luminance weights, per thousand
constexpr int LUMA_GREEN = 587;
constexpr int LUMA_BLUE = 114;
constexpr int LUMA_SCALE = 1000;

void place_lint_player(const player_spot &at)
{
    create_world_object(PLAYER_WORLD_OBJECT, current_room, DEF_PLAYER, at.x, at.y, at.z);
    init_sprite(PLAYER_SLOT, DEF_PLAYER, at.x, at.y, at.z);
    sprite_record &p = sprite_table[PLAYER_SLOT];
    p.world_object = PLAYER_WORLD_OBJECT;
    p.obj_def = DEF_PLAYER;
    p.facing = 0;
    p.anim_frame = PLAYER_FRAME_STANDING;
}

static void weakest_lighting(void)
{
    int d = room_darkness(rooms[current_room].brightness);
    if (d == 0) {
        return;
    }
    clear_to_color(light_map, makecol(d, d, d));
    BITMAP *glow = datafile_bitmap(custom_datafile, GLOW_IMAGE);
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const world_object *w = sprite_world_object(i);
        if (w != nullptr && !sprite_table[i].is_room_part &&
            (w->obj_def == DEF_TORCH || w->obj_def == DEF_TORCH_2) && glow != nullptr) {
            subtract_blit(light_map, glow, sprite_table[i].screen_x - GLOW_OFFSET,
                          sprite_table[i].screen_y - GLOW_OFFSET, GLOW_FLICKER_LOW);
        }
    }
    subtract_blit(backbuffer, light_map, 0, 0, VIEW_DARKEN_FACTOR);
}

static int is_mask(int pixel)
{
    return getr32(pixel) == 255 && getg32(pixel) == 0 && getb32(pixel) == 255;
}

static int opaque_pixels(BITMAP *image)
{
    int count = 0;
    for (int y = 0; y < image->h; y++) {
        for (int x = 0; x < image->w; x++) {
            count += !is_mask(_getpixel32(image, x, y));
        }
    }
    return count;
}

int sprite_luminance(int slot)
{
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (sprite_table[i].active && !sprite_table[i].is_room_part) {
            place_sprite_on_view(i);
            refresh_sprite_image(i);
        }
    }
    const sprite_record &p = sprite_table[slot];
    if (p.image == nullptr) {
        return -1;
    }
    int whole = opaque_pixels(p.image);
    clear_to_color(backbuffer, 0);
    draw_room_background();
    draw_room_polygons();
    draw_sprites();
    weakest_lighting();
    long sum = 0;
    int shown = 0;
    for (int r = 0; r < p.image->h; r++) {
        for (int k = 0; k < p.image->w; k++) {
            int vx = p.screen_x + k, vy = p.screen_y + r;
            if (is_mask(_getpixel32(p.image, k, r)) || vx < 0 || vx >= VIEW_W || vy < 0 ||
                vy >= PANEL_Y) {
                continue;
            }
            int c = _getpixel32(backbuffer, vx, vy);
            sum += (LUMA_RED * getr32(c) + LUMA_GREEN * getg32(c) + LUMA_BLUE * getb32(c)) /
                   LUMA_SCALE;
            shown++;
        }
    }
    if (shown == 0 || shown * LEAST_SHOWING < whole) {
        return -1;
    }
    return static_cast<int>(sum / shown);
}

int player_luminance(int x, int y, int z)
{
    place_lint_player({x, y, z});
    return sprite_luminance(PLAYER_SLOT);
}

// One entrance per cell and height: the arrivals along a side differ by a
// unit at a time and light changes slowly.
static std::vector<player_spot> entrance_samples(const std::vector<player_spot> &entrances)
{
    std::vector<player_spot> samples;
    for (const player_spot &e : entrances) {
        int repeated = 0;
        for (const player_spot &s : samples) {
            repeated |= s.x / CELL_SIZE == e.x / CELL_SIZE && s.y / CELL_SIZE == e.y / CELL_SIZE &&
                        s.z == e.z;
        }
        if (!repeated) {
            samples.push_back(e);
        }
    }
    return samples;
}

std::vector<lit_entrance> entrance_luminance(int room, const std::vector<player_spot> &entrances)
{
    std::vector<lit_entrance> lit;
    if (custom_datafile == nullptr || backbuffer == nullptr || light_map == nullptr ||
        room_background == nullptr || room_sprite_count(room) > MOST_ROOM_SPRITES) {
        return lit;
    }
    std::vector<player_spot> samples = entrance_samples(entrances);
    build_room(room);
    for (const player_spot &s : samples) {
        place_lint_player(s);
        if (!probe_blocked(PLAYER_SLOT, 0, 0, 0)) {
            lit.push_back({s, player_luminance(s.x, s.y, s.z)});
        } // the exit and door checks report blocked arrivals
    }
    return lit;
}

void check_visibility(int room, const std::vector<player_spot> &entrances,
                      std::vector<lint_finding> &findings)
{
    std::vector<lit_entrance> lit = entrance_luminance(room, entrances);
    int dark = 0, hidden = 0, darkest = LEAST_PLAYER_LUMINANCE;
    player_spot worst{}, first_hidden{};
    for (const lit_entrance &e : lit) {
        if (e.luminance < 0 && hidden++ == 0) {
            first_hidden = e.at;
        }
        if (e.luminance >= 0 && e.luminance < LEAST_PLAYER_LUMINANCE) {
            dark++;
            if (e.luminance < darkest) {
                darkest = e.luminance;
                worst = e.at;
            }
        }
    }
    const std::string of = " of " + std::to_string(lit.size()) + " entrances";
    if (dark > 0) {
        add_lint_finding(findings, LINT_PLAYER_UNSEEN, room, NO_LINT_OBJECT,
                         "the player is too dark at " + std::to_string(dark) + of +
                             " (mean luminance " + std::to_string(darkest) + " at " +
                             std::to_string(worst.x) + "," + std::to_string(worst.y) + "," +
                             std::to_string(worst.z) + ", at least " +
                             std::to_string(LEAST_PLAYER_LUMINANCE) + " needed)");
    }
    if (hidden > 0) {
        add_lint_finding(findings, LINT_PLAYER_UNSEEN, room, NO_LINT_OBJECT,
                         "the player is mostly hidden or off the view at " +
                             std::to_string(hidden) + of + " (at " +
                             std::to_string(first_hidden.x) + "," + std::to_string(first_hidden.y) +
                             "," + std::to_string(first_hidden.z) + ")");
    }
}
