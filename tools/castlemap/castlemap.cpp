// Castle map: every room's picture, drawn by the game's own code, laid out
// by the rooms' exits on the game's own isometric directions (a room beyond
// a high-x side lies up and to the left, beyond a high-y side up and to the
// right), joined by gold lines for exits and dashed blue lines for doors,
// each labelled with its id and caption. Also writes pictures of chosen
// rooms with the player in them, lit and with the panel, as in play.
//   castlemap GAME_DIR OUT_DIR [--map-width W] [ROOM:X,Y,Z]...
// writes OUT_DIR/castle-map.png (averaged down to W pixels across, when
// given and narrower than the whole map) and OUT_DIR/room-ROOM.png.
#include <allegro.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <loadpng.h>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "picture_tool.h"
#include "game/game_loop.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/text.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int STEP_X = 250; // map pixels per lattice step, across and down
constexpr int STEP_Y = 125;
constexpr int MARGIN = 40;
constexpr int LABEL_DROP = 6; // label rows below a picture's top
constexpr int LINK_WIDTH = 2; // half-width of a link line
constexpr int DASH = 12;      // door links: dash and gap length
constexpr int MAP_BACKGROUND[3] = {28, 28, 36};
constexpr int EXIT_COLOUR[3] = {214, 170, 60};
constexpr int DOOR_COLOUR[3] = {90, 160, 230};
constexpr int LABEL_COLOUR[3] = {250, 245, 230};
constexpr int MOST_RING = 64;   // how far a crowded room looks for a free place
constexpr int LEGEND_LINE = 48; // length of the legend's sample lines
constexpr int LEGEND_GAP = 8;

static const int side_gx[SIDE_COUNT] = {0, 1, 0, -1};
static const int side_gy[SIDE_COUNT] = {-1, 0, 1, 0};

struct lattice {
    std::map<int, std::pair<int, int>> place;    // room -> (gx, gy)
    std::map<std::pair<int, int>, int> occupant; // (gx, gy) -> room
};

static int room_in_use(int room)
{
    return room > 0 && room < ROOM_COUNT && rooms[room].size_x != 0 && rooms[room].size_y != 0;
}

static void put(lattice &l, int room, std::pair<int, int> at)
{
    l.place[room] = at;
    l.occupant[at] = room;
}

// The wanted place, or the nearest free one around it (rings outward).
static std::pair<int, int> free_place(const lattice &l, std::pair<int, int> want, int first_ring)
{
    for (int ring = first_ring; ring < MOST_RING; ring++) {
        for (int i = -ring; i <= ring; i++) {
            for (int j = -ring; j <= ring; j++) {
                std::pair<int, int> at{want.first + i, want.second + j};
                if (std::max(abs(i), abs(j)) == ring && !l.occupant.count(at)) {
                    return at;
                }
            }
        }
    }
    return want;
}

// Rooms beyond exits take the lattice place the exit points to; rooms
// behind doors (and rooms no way leads to) the nearest free place.
static lattice lay_out(void)
{
    lattice l;
    std::vector<int> queue{START_ROOM};
    put(l, START_ROOM, {0, 0});
    for (size_t q = 0; q <= queue.size(); q++) {
        if (q == queue.size()) {
            for (int room = 1; room < ROOM_COUNT && q == queue.size(); room++) {
                if (room_in_use(room) && !l.place.count(room)) {
                    put(l, room, free_place(l, {0, 0}, 1));
                    queue.push_back(room);
                }
            }
            if (q == queue.size()) {
                break;
            }
        }
        int room = queue[q];
        std::pair<int, int> at = l.place[room];
        for (int side = 0; side < SIDE_COUNT; side++) {
            int next = rooms[room].adjacent[side];
            if (room_in_use(next) && !l.place.count(next)) {
                put(l, next,
                    free_place(l, {at.first + side_gx[side], at.second + side_gy[side]}, 0));
                queue.push_back(next);
            }
        }
        for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
            const world_object &o = world_objects[w];
            if (o.used != WOBJ_FREE && o.room == room && o.door && room_in_use(o.door_room) &&
                !l.place.count(o.door_room)) {
                put(l, o.door_room, free_place(l, at, 1));
                queue.push_back(o.door_room);
            }
        }
    }
    return l;
}

// The room's view above the panel, as the game draws it, unlit.
static void draw_room_view(int room)
{
    lighting_enabled = 0;
    start_game(room, 0, 0, 0);
    sprite_table[PLAYER_SLOT].active = 0;
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (sprite_table[i].active && !sprite_table[i].is_room_part) {
            place_sprite_on_view(i);
            refresh_sprite_image(i);
        }
    }
    clear_to_color(backbuffer, 0);
    draw_room_background();
    draw_room_polygons();
    draw_sprites();
    end_game();
}

struct map_frame {
    int left, top; // map pixel of lattice place (0, 0)'s picture corner
};

static void picture_corner(const map_frame &f, std::pair<int, int> at, int &x, int &y)
{
    x = f.left + (at.second - at.first) * STEP_X;
    y = f.top - (at.first + at.second) * STEP_Y;
}

static int colour(const int rgb[3])
{
    return makecol(rgb[0], rgb[1], rgb[2]);
}

static void thick_line(BITMAP *map, int x1, int y1, int x2, int y2, int c)
{
    for (int d = -LINK_WIDTH; d <= LINK_WIDTH; d++) {
        line(map, x1 + d, y1, x2 + d, y2, c);
        line(map, x1, y1 + d, x2, y2 + d, c);
    }
}

static void dashed_line(BITMAP *map, int x1, int y1, int x2, int y2, int c)
{
    float length = std::max(1.0f, static_cast<float>(std::hypot(x2 - x1, y2 - y1)));
    for (float t = 0; t < length; t += 2 * DASH) {
        float a = t / length, b = std::min(1.0f, (t + DASH) / length);
        thick_line(map, x1 + static_cast<int>(a * (x2 - x1)), y1 + static_cast<int>(a * (y2 - y1)),
                   x1 + static_cast<int>(b * (x2 - x1)), y1 + static_cast<int>(b * (y2 - y1)), c);
    }
}

static void draw_links(BITMAP *map, const lattice &l, const map_frame &f)
{
    for (const auto &[room, at] : l.place) {
        int x1, y1;
        picture_corner(f, at, x1, y1);
        for (int side = 0; side < SIDE_COUNT; side++) {
            auto next = l.place.find(rooms[room].adjacent[side]);
            if (next != l.place.end()) {
                int x2, y2;
                picture_corner(f, next->second, x2, y2);
                thick_line(map, x1 + VIEW_W / 2, y1 + PANEL_Y / 2, x2 + VIEW_W / 2,
                           y2 + PANEL_Y / 2, colour(EXIT_COLOUR));
            }
        }
        for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
            const world_object &o = world_objects[w];
            auto next = l.place.find(o.door_room);
            if (o.used != WOBJ_FREE && o.room == room && o.door && next != l.place.end()) {
                int x2, y2;
                picture_corner(f, next->second, x2, y2);
                dashed_line(map, x1 + VIEW_W / 2, y1 + PANEL_Y / 2, x2 + VIEW_W / 2,
                            y2 + PANEL_Y / 2, colour(DOOR_COLOUR));
            }
        }
    }
}

// Copies the view above the panel onto the map; black stays see-through so
// links show in the dark around a room.
static void paste_view(BITMAP *map, int x, int y)
{
    for (int r = 0; r < PANEL_Y; r++) {
        for (int k = 0; k < VIEW_W; k++) {
            int c = getpixel(backbuffer, k, r);
            if ((getr32(c) | getg32(c) | getb32(c)) != 0) {
                putpixel(map, x + k, y + r, c);
            }
        }
    }
}

static void draw_label(BITMAP *map, int room, int x, int y)
{
    const char *caption = get_message(rooms[room].description);
    std::string text = std::to_string(room) + " " + (caption != nullptr ? caption : "");
    if (room == START_ROOM) {
        text += " (start)";
    }
    int w = text_length(font, text.c_str());
    int lx = x + (VIEW_W - w) / 2, ly = y + LABEL_DROP;
    rectfill(map, lx - 3, ly - 3, lx + w + 2, ly + text_height(font) + 2, 0);
    textout_ex(map, font, text.c_str(), lx, ly, colour(LABEL_COLOUR), -1);
}

// What the lines mean, and how many rooms there are, in the top left corner.
static void draw_legend(BITMAP *map, int room_count)
{
    const int x = MARGIN / 2, y = MARGIN / 2, line_h = text_height(font) + LEGEND_GAP;
    thick_line(map, x, y + line_h / 2, x + LEGEND_LINE, y + line_h / 2, colour(EXIT_COLOUR));
    dashed_line(map, x, y + 3 * line_h / 2, x + LEGEND_LINE, y + 3 * line_h / 2,
                colour(DOOR_COLOUR));
    const int tx = x + LEGEND_LINE + LEGEND_GAP;
    textout_ex(map, font, "exit", tx, y, colour(LABEL_COLOUR), -1);
    textout_ex(map, font, "door", tx, y + line_h, colour(LABEL_COLOUR), -1);
    std::string rooms_text = std::to_string(room_count) + " rooms";
    textout_ex(map, font, rooms_text.c_str(), x, y + 2 * line_h, colour(LABEL_COLOUR), -1);
}

static int save_picture(BITMAP *source, const std::string &path)
{
    return save_picture_png("castlemap", source, path);
}

static int draw_map(const std::string &path, int map_width)
{
    lattice l = lay_out();
    int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (const auto &[room, at] : l.place) {
        int x, y;
        picture_corner({0, 0}, at, x, y);
        min_x = std::min(min_x, x), max_x = std::max(max_x, x);
        min_y = std::min(min_y, y), max_y = std::max(max_y, y);
    }
    map_frame f{MARGIN - min_x, MARGIN - min_y};
    BITMAP *map =
        create_bitmap(max_x - min_x + VIEW_W + 2 * MARGIN, max_y - min_y + PANEL_Y + 2 * MARGIN);
    clear_to_color(map, colour(MAP_BACKGROUND));
    draw_links(map, l, f);
    // Far rooms first, so nearer pictures lie over them as on the screen.
    std::vector<std::pair<int, int>> order;
    for (const auto &[room, at] : l.place) {
        order.push_back({-(at.first + at.second), room});
    }
    std::sort(order.begin(), order.end());
    for (const auto &[depth, room] : order) {
        int x, y;
        picture_corner(f, l.place[room], x, y);
        draw_room_view(room);
        paste_view(map, x, y);
    }
    for (const auto &[room, at] : l.place) {
        int x, y;
        picture_corner(f, at, x, y);
        draw_label(map, room, x, y);
    }
    draw_legend(map, static_cast<int>(l.place.size()));
    if (map_width > 0 && map_width < map->w) {
        BITMAP *whole = map;
        map = reduce_picture(whole, map_width, (whole->h * map_width + whole->w / 2) / whole->w);
        destroy_bitmap(whole);
    }
    int saved = save_picture(map, path);
    destroy_bitmap(map);
    return saved;
}

// A room as the player sees it: lit, the player standing at x, y, z, the
// caption and the panel.
static int draw_room_shot(const char *room_at, const std::string &out_dir)
{
    int room, x, y, z;
    if (sscanf(room_at, "%d:%d,%d,%d", &room, &x, &y, &z) != 4 || !room_in_use(room)) {
        fprintf(stderr, "castlemap: %s is not ROOM:X,Y,Z of a room\n", room_at);
        return 0;
    }
    lighting_enabled = 1;
    start_game(room, x, y, z);
    game_tick(); // the player finds its footing
    reveal_scale = REVEAL_END_SCALE;
    compose_game_frame();
    end_game();
    return save_picture(backbuffer, out_dir + "/room-" + std::to_string(room) + ".png");
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: castlemap GAME_DIR OUT_DIR [--map-width W] [ROOM:X,Y,Z]...\n");
        return 2;
    }
    std::error_code failure;
    std::string out_dir = std::filesystem::absolute(argv[2], failure).string();
    if (failure) {
        out_dir = argv[2]; // used as given
    }
    std::filesystem::create_directories(out_dir, failure);
    if (!start_headless_game("castlemap", argv[1])) {
        return 1;
    }
    int first_room = 3, map_width = 0;
    if (argc > 4 && strcmp(argv[3], "--map-width") == 0) {
        map_width = atoi(argv[4]);
        first_room = 5;
    }
    int ok = draw_map(out_dir + "/castle-map.png", map_width);
    for (int i = first_room; i < argc; i++) {
        ok &= draw_room_shot(argv[i], out_dir);
    }
    return ok ? 0 : 1;
}
END_OF_MAIN()
