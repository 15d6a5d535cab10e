// Rooms on screen: room setup's slots and background, the depth test, the
// cutting of nearer silhouettes, the sprite passes and the frame's layers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "physics/physics.h"
#include "physics/player.h"
#include "render/frame.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/error_report.h"
#include "shell/startup.h"
#include "test_support.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

constexpr int TEST_ROOM = 7;
constexpr int DEF_BOX = 50; // "a barrel": any movable definition will do

int mask(void)
{
    return makecol(255, 0, 255);
}

// Every test gets a clean world, a background, a back buffer and a game
// datafile of solid-coloured images.
struct RoomView : ::testing::Test {
    fake_datafile art{600};
    void SetUp() override
    {
        load_object_defs();
        reset_sprites();
        clear_rooms();
        memset(world_objects, 0, sizeof world_objects);
        room_background = create_bitmap(ROOM_BACKGROUND_W, ROOM_BACKGROUND_H);
        backbuffer = create_bitmap(VIEW_W, VIEW_H);
        for (int i = 0; i < 600; i++) {
            clear_to_color(static_cast<BITMAP *>(art.entries[i].dat), makecol(i % 256, 100, 50));
        }
    }
    void TearDown() override
    {
        reset_sprites();
        destroy_bitmap(room_background);
        destroy_bitmap(backbuffer);
        room_background = backbuffer = nullptr;
    }
    room_record &room(int sx, int sy, int height, int tile)
    {
        room_record &r = rooms[TEST_ROOM];
        r.size_x = static_cast<uint8_t>(sx);
        r.size_y = static_cast<uint8_t>(sy);
        r.ceiling = 100;
        r.origin_x = 160;
        r.origin_y = 150;
        memset(r.wall_left, FACE_NONE, sizeof r.wall_left);
        memset(r.wall_right, FACE_NONE, sizeof r.wall_right);
        for (int x = 0; x < ROOM_CELLS; x++) {
            for (int y = 0; y < ROOM_CELLS; y++) {
                r.floor_height[x][y] = static_cast<uint8_t>(height);
                r.floor_tile[x][y] = static_cast<int8_t>(tile);
            }
        }
        return r;
    }
    void place(int id, int def, int x, int y, int z)
    {
        create_world_object(id, TEST_ROOM, def, x, y, z);
    }
    // A sprite with a w x h image filled with colour c, at a view position.
    int sprite(int slot, int wobj, int sx, int sy, int w, int h, int c)
    {
        sprite_record &s = sprite_table[slot];
        s.active = 1;
        s.world_object = wobj;
        s.screen_x = sx;
        s.screen_y = sy;
        if (s.image != nullptr) {
            destroy_bitmap(s.image);
        }
        s.image = create_bitmap(w, h);
        clear_to_color(s.image, c);
        forget_sprite_extent(slot);
        s.image_w = w;
        s.image_h = h;
        world_objects[wobj].visible = 1;
        return slot;
    }
};

TEST_F(RoomView, CellsRunBackToFrontAndSolidCellsAreTallAndBlank)
{
    room_record &r = room(2, 2, 5, 3);
    r.floor_tile[1][1] = TILE_SOLID;
    r.floor_tile[0][1] = TILE_NONE;
    EXPECT_EQ(init_room(TEST_ROOM), 6);
    // Slot order: [1][1], [1][0], [0][1], [0][0], then the ceiling.
    EXPECT_EQ(sprite_table[1].size_z, SOLID_COLUMN_HEIGHT);
    EXPECT_EQ(sprite_table[1].x, 15.0f);
    EXPECT_EQ(sprite_table[1].y, 15.0f);
    EXPECT_EQ(sprite_table[3].size_z, 5); // no image, still its height
    EXPECT_EQ(sprite_table[3].x, 0.0f);
    EXPECT_EQ(sprite_table[3].y, 15.0f);
    EXPECT_EQ(sprite_table[5].size_x, 30);
    // Tile 3 (image 455) at (sx, sy + 2) of each drawn cell; the solid cell
    // [1][1] and the tileless cell [0][1] drew nothing.
    int tile = makecol(455 % 256, 100, 50);
    EXPECT_EQ(getpixel(room_background, 194, 353), tile);             // [0][0]
    EXPECT_EQ(getpixel(room_background, 164, 338), tile);             // [1][0]
    EXPECT_EQ(getpixel(room_background, 224, 338), 0);                // [0][1]
    EXPECT_EQ(getpixel(room_background, 194, 323 + 15 - 240 + 5), 0); // [1][1]
}

TEST_F(RoomView, ObjectsFollowInIdOrderAndCarriedOnesStayOut)
{
    room(2, 2, 0, 1);
    place(9, DEF_BOX, 3, 3, 0);
    place(4, DEF_BOX, 20, 3, 0);
    place(6, DEF_BOX, 3, 20, 0);
    world_objects[6].room = ROOM_CARRIED;
    world_objects[6].used = WOBJ_OUT_OF_PLAY;
    place(11, DEF_BOX, 3, 3, 0);
    world_objects[11].room = TEST_ROOM + 1;
    build_room(TEST_ROOM);
    EXPECT_EQ(sprite_table[6].world_object, 4);
    EXPECT_EQ(sprite_table[7].world_object, 9);
    EXPECT_FALSE(sprite_table[8].active);
    // Position and view corner follow the projection.
    const sprite_record &s = sprite_table[6];
    EXPECT_EQ(s.screen_x, 160 - 40 + 6 - s.draw_offset_x);
    EXPECT_EQ(s.screen_y, 150 - 23 - 0 - s.draw_offset_y);
}

TEST_F(RoomView, BadIdsAndFullTablesAreReported)
{
    EXPECT_EQ(init_room(ROOM_COUNT), -1);
    EXPECT_STREQ(last_reported_error, "init_room : invalid room id");
    setup_room_objects(TEST_ROOM, SPRITE_COUNT);
    EXPECT_STREQ(last_reported_error, "setp_room_objects : invalid sprite id");
    setup_room_objects(-1, 5);
    EXPECT_STREQ(last_reported_error, "setp_room_objects : invalid room id");
    room(1, 1, 0, 1);
    for (int id = 1; id <= 200; id++) {
        place(id, DEF_BOX, 1, 1, 0);
    }
    int before = reported_error_count;
    build_room(TEST_ROOM);
    EXPECT_EQ(reported_error_count, before + 1);
    EXPECT_STREQ(last_reported_error, "setup_room_object - not enough sprites");
    EXPECT_EQ(sprite_table[SPRITE_COUNT - 1].world_object, SPRITE_COUNT - 3);
}

TEST_F(RoomView, ProjectionTruncatesXAndYBeforeScaling)
{
    view_origin_x = 100;
    view_origin_y = 100;
    EXPECT_EQ(sprite_screen_x(0.9f, 0.0f, 0), sprite_screen_x(0.0f, 0.0f, 0));
    EXPECT_EQ(sprite_screen_x(1.0f, 0.0f, 0), 98);
    EXPECT_EQ(sprite_screen_y(0.0f, 0.0f, 2.5f, 0), 97);
    // An origin at either end of an int puts the room off that side of the
    // view, never wrapped round onto it.
    for (int origin : {INT_MAX, INT_MIN}) {
        view_origin_x = view_origin_y = origin;
        EXPECT_EQ(sprite_screen_x(10.0f, 30.0f, 0) >= VIEW_W, origin > 0) << origin;
        EXPECT_EQ(sprite_screen_y(10.0f, 30.0f, 5.0f, 0) >= VIEW_H, origin > 0) << origin;
    }
}

// A jug standing on a table: the jug is in front both ways round.
TEST_F(RoomView, JugOnATableIsInFrontBothWays)
{
    sprite_record &table = sprite_table[2], &jug = sprite_table[3];
    table.x = 10, table.y = 10, table.z = 0, table.size_x = 8, table.size_y = 15, table.size_z = 15;
    jug.x = 12, jug.y = 14, jug.z = 15, jug.size_x = 3, jug.size_y = 3, jug.size_z = 12;
    EXPECT_EQ(front_sprite(2, 3), 3);
    EXPECT_EQ(front_sprite(3, 2), 3);
    // Two boxes sharing volume are each in front of the other.
    jug.z = 10;
    EXPECT_EQ(front_sprite(2, 3), 3);
    EXPECT_EQ(front_sprite(3, 2), 2);
    // Wholly beyond the last unit along x: behind.
    jug.z = 0;
    jug.x = 18;
    EXPECT_EQ(front_sprite(2, 3), 2);
}

TEST_F(RoomView, CuttingMasksCoveredPixelsAndKeepsTheFourthByte)
{
    BITMAP *victim = create_bitmap(6, 4), *cutter = create_bitmap(3, 3);
    clear_to_color(victim, makecol(10, 20, 30));
    reinterpret_cast<uint32_t *>(victim->line[1])[2] |= 0xAB000000u;
    clear_to_color(cutter, mask());
    putpixel(cutter, 0, 0, makecol(1, 2, 3));
    putpixel(cutter, 2, 2, makecol(1, 2, 3));
    cut_out_shape(victim, cutter, 2, 1, 3, 3);
    uint32_t p = reinterpret_cast<uint32_t *>(victim->line[1])[2];
    EXPECT_EQ(p, 0xABFF00FFu);
    EXPECT_EQ(getpixel(victim, 4, 3), mask());
    EXPECT_EQ(getpixel(victim, 3, 2), makecol(10, 20, 30)); // under a mask pixel
    // Off the victim's edges nothing is written and nothing breaks.
    cut_out_shape(victim, cutter, -2, -2, 3, 3);
    EXPECT_EQ(getpixel(victim, 0, 0), mask());
    cut_out_shape(victim, cutter, 5, 3, 3, 3);
    EXPECT_EQ(getpixel(victim, 5, 3), mask());
    cut_out_shape(victim, cutter, 40, 40, 3, 3);
    destroy_bitmap(victim);
    destroy_bitmap(cutter);
}

TEST_F(RoomView, TouchingRectanglesDoNotOverlap)
{
    EXPECT_FALSE(rects_overlap(0, 0, 10, 10, 10, 0, 5, 5));
    EXPECT_FALSE(rects_overlap(0, 0, 10, 10, 0, 10, 5, 5));
    EXPECT_TRUE(rects_overlap(0, 0, 10, 10, 9, 9, 5, 5));
    EXPECT_TRUE(rects_overlap(-5, -5, 10, 10, 0, 0, 1, 1));
}

// The sprite passes against the rule done by the library: cut_out_shape of
// whole images in slot order, then draw_sprite and draw_trans_sprite. Frames
// have empty margins, stray pixels and masks with a fourth byte, and sit
// across the view's edges.
TEST_F(RoomView, SpritePassesGiveTheLibrarysPixels)
{
    constexpr int COUNT = 24;
    srand(7);
    std::vector<BITMAP *> copies;
    std::vector<bool> taken(600);
    for (int n = 0, def = 1; n < COUNT; n++, def++) {
        while (object_defs[def].frames[0] < 0 || object_defs[def].frames[0] >= 600 ||
               taken[object_defs[def].frames[0]]) {
            def++;
        }
        taken[object_defs[def].frames[0]] = true;
        int slot = 1 + n, w = 4 + rand() % 60, h = 4 + rand() % 70;
        sprite_record &s = sprite_table[slot];
        init_sprite(slot, def, rand() % 20, rand() % 20, rand() % 10);
        s.world_object = slot;
        s.obj_def = def, s.facing = s.anim_frame = 0;
        world_objects[slot].visible = 1;
        world_objects[slot].transparent = n % 9 == 0 ? 100 : 0;
        s.screen_x = rand() % 120 + (n % 2) * 230 - 40,
        s.screen_y = rand() % 90 + (n % 2) * 190 - 40;
        int index = sprite_image_index(slot);
        art.set_size(index, w, h);
        BITMAP *frame = static_cast<BITMAP *>(art.entries[index].dat);
        int mx = rand() % (w / 2), my = rand() % (h / 2);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                bool inside = x >= mx && y >= my && x < w - mx / 2 && y < h - my / 2;
                uint32_t v = inside && rand() % 5 ? rand() : 0x00FF00FFu | (rand() % 3 == 0) << 24;
                reinterpret_cast<uint32_t *>(frame->line[y])[x] = v;
            }
        }
        // Every fourth image is larger than its frame.
        destroy_bitmap(s.image);
        s.image = create_bitmap(w + (n % 4 == 0) * 5, h);
        clear_to_color(s.image, makecol(9, 9, 9));
        forget_sprite_extent(slot);
        s.image_w = s.image->w, s.image_h = h;
        refresh_sprite_image(slot);
        copies.push_back(create_bitmap(s.image->w, h));
        blit(s.image, copies.back(), 0, 0, 0, 0, s.image->w, h);
    }
    BITMAP *expected = create_bitmap(VIEW_W, VIEW_H);
    clear_to_color(expected, makecol(1, 2, 3));
    clear_to_color(backbuffer, makecol(1, 2, 3));
    for (int i = 0; i < COUNT; i++) {
        for (int j = 0; j < COUNT; j++) {
            const sprite_record &v = sprite_table[1 + i], &c = sprite_table[1 + j];
            if (i != j && !world_objects[1 + j].transparent && screen_boxes_overlap(1 + i, 1 + j) &&
                front_sprite(1 + i, 1 + j) == 1 + j) {
                cut_out_shape(copies[i], copies[j], c.screen_x - v.screen_x,
                              c.screen_y - v.screen_y, c.image_w, c.image_h);
            }
        }
    }
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < COUNT; i++) {
            const sprite_record &s = sprite_table[1 + i];
            if (pass == 0 && !world_objects[1 + i].transparent) {
                draw_sprite(expected, copies[i], s.screen_x, s.screen_y);
            } else if (pass == 1 && world_objects[1 + i].transparent) {
                set_trans_blender(255, 255, 255, world_objects[1 + i].transparent);
                draw_trans_sprite(expected, copies[i], s.screen_x, s.screen_y);
            }
        }
    }
    draw_sprites();
    for (int y = 0; y < VIEW_H; y++) {
        ASSERT_EQ(memcmp(expected->line[y], backbuffer->line[y], VIEW_W * 4u), 0) << "row " << y;
    }
    for (int i = 0; i < COUNT; i++) {
        for (int y = 0; y < copies[i]->h; y++) {
            ASSERT_EQ(
                memcmp(copies[i]->line[y], sprite_table[1 + i].image->line[y], copies[i]->w * 4u),
                0)
                << "slot " << 1 + i << " row " << y;
        }
        destroy_bitmap(copies[i]);
    }
    destroy_bitmap(expected);
}

// Clearing only around the background gives the full clear's picture
// wherever the background lands, partly or wholly off the view included.
TEST_F(RoomView, ClearAroundTheBackgroundMatchesTheFullClear)
{
    BITMAP *full = create_bitmap(VIEW_W, VIEW_H);
    clear_to_color(room_background, makecol(90, 80, 70));
    for (int origin : {-300, 0, 100, 224, 388, 500, 800}) {
        view_origin_x = origin, view_origin_y = 612 - origin;
        clear_to_color(backbuffer, makecol(1, 2, 3));
        clear_around_room_background();
        draw_room_background();
        clear_to_color(full, 0);
        std::swap(full, backbuffer);
        draw_room_background();
        std::swap(full, backbuffer);
        for (int y = 0; y < VIEW_H; y++) {
            ASSERT_EQ(memcmp(full->line[y], backbuffer->line[y], VIEW_W * 4u), 0)
                << "origin " << origin << " row " << y;
        }
    }
    destroy_bitmap(full);
}

TEST_F(RoomView, InvisibleAndBakedSpritesAreNotDrawnPerFrame)
{
    int red = makecol(200, 0, 0);
    sprite(2, 1, 10, 10, 4, 4, red);
    sprite(3, 2, 30, 10, 4, 4, red);
    world_objects[1].visible = 0;
    world_objects[2].room_part = 1;
    clear_to_color(backbuffer, 0);
    draw_sprites();
    EXPECT_EQ(getpixel(backbuffer, 11, 11), 0);
    EXPECT_EQ(getpixel(backbuffer, 31, 11), 0);
}

TEST_F(RoomView, RoomPartObjectsAreBakedIntoTheBackground)
{
    room(2, 2, 0, TILE_NONE);
    place(3, DEF_BOX, 10, 10, 0);
    world_objects[3].room_part = 1;
    build_room(TEST_ROOM);
    const sprite_record &s = sprite_table[6];
    ASSERT_EQ(s.world_object, 3);
    int x = 224 - 20 + 20 - s.draw_offset_x, y = 388 - 20 - s.draw_offset_y;
    int colour = getpixel(static_cast<BITMAP *>(art.entries[sprite_image_index(6)].dat), 0, 0);
    EXPECT_EQ(getpixel(room_background, x, y), colour);
    EXPECT_TRUE(s.active); // still there for collisions
}

// The frame's layers that move or change (the still layout is held by the
// golden pictures): notice, item, reveal, examine picture.
struct Frame : RoomView {
    fake_datafile general{12, &general_datafile};
    void SetUp() override
    {
        RoomView::SetUp();
        for (int i = 0; i < 12; i++) {
            const int panel = i == GENERAL_PANEL;
            general.set_size(i, panel ? 320 : 40, panel ? 70 : 18,
                             panel ? makecol(250, 240, 200) : makecol(200, 200, 150));
        }
        reset_player_state();
        energy = 99.0f;
        room(1, 1, 0, TILE_NONE);
        build_room(TEST_ROOM);
        reveal_scale = REVEAL_END_SCALE;
    }
    int black_in(int x, int y, int w, int h)
    {
        int n = 0;
        for (int j = y; j < y + h; j++) {
            for (int i = x; i < x + w; i++) {
                n += getpixel(backbuffer, i, j) == makecol(0, 0, 0);
            }
        }
        return n;
    }
};

TEST_F(Frame, NoticeReplacesEnergyForFiftyFrames)
{
    set_notice("Blocked!");
    for (int frame = 0; frame < NOTICE_FRAMES; frame++) {
        compose_game_frame();
    }
    EXPECT_GT(black_in(26, 226, 16, 8), 4); // "Bl" starts 64 pixels left of 90
    compose_game_frame();
    EXPECT_EQ(black_in(26, 226, 16, 8), 0);
    EXPECT_GT(black_in(74, 226, 16, 8), 8);
}

TEST_F(Frame, ItemStandsCentredOnTheNiche)
{
    inventory[0] = 5;
    destroy_bitmap(item_picture == nullptr ? create_bitmap(1, 1) : item_picture);
    item_picture = create_bitmap(10, 6);
    clear_to_color(item_picture, makecol(0, 200, 0));
    compose_game_frame();
    EXPECT_EQ(getpixel(backbuffer, 30, 229), makecol(0, 200, 0));
    EXPECT_EQ(getpixel(backbuffer, 30, 224), makecol(0, 200, 0));
    EXPECT_NE(getpixel(backbuffer, 30, 223), makecol(0, 200, 0));
    EXPECT_NE(getpixel(backbuffer, 40, 229), makecol(0, 200, 0));
    destroy_bitmap(item_picture);
    item_picture = nullptr;
}

TEST_F(Frame, RevealOpensOverThirtyTwoFrames)
{
    reveal_scale = REVEAL_START_SCALE;
    int frames = 0;
    while (reveal_scale < REVEAL_END_SCALE && frames < 100) {
        compose_game_frame();
        frames++;
        if (frames == 1) {
            EXPECT_NEAR(reveal_scale, 44.0f, 0.01f);
            // Outside the small opening everything is black, panel included.
            EXPECT_EQ(getpixel(backbuffer, 300, 175), 0);
        }
    }
    EXPECT_EQ(frames, 32);
    EXPECT_GT(reveal_scale, 800.0f);
    compose_game_frame();
    EXPECT_EQ(getpixel(backbuffer, 300, 175), makecol(250, 240, 200));
}

TEST_F(Frame, ExaminePictureSlidesUpInSevenFrames)
{
    examined_object = 3;
    examine_picture = create_bitmap(EXAMINE_PICTURE_W, EXAMINE_PICTURE_H);
    clear_to_color(examine_picture, makecol(0, 0, 220));
    examine_slide = 0;
    for (int i = 0; i < 7; i++) {
        compose_game_frame();
    }
    EXPECT_EQ(examine_slide, EXAMINE_SLIDE_END);
    EXPECT_EQ(getpixel(backbuffer, 142, 114), makecol(0, 0, 220));
    EXPECT_NE(getpixel(backbuffer, 142, 113), makecol(0, 0, 220));
    compose_game_frame();
    EXPECT_EQ(examine_slide, EXAMINE_SLIDE_END);
    destroy_bitmap(examine_picture);
    examine_picture = nullptr;
    examined_object = NO_EXAMINED_OBJECT;
}

} // namespace
