// The soak: the compiled castle of a game folder played headless for many
// ticks with seeded random action words, the world's invariants checked
// after every tick. Built with the sanitizers it also catches memory errors,
// undefined behaviour and (at exit) leaks. The soak is linked with the
// library's create_bitmap and destroy_bitmap wrapped, so it also checks that
// every bitmap the library holds has an owner: the counted surfaces, a
// sprite slot's image, or the game's examine and item pictures.
//   soak GAME_FOLDER TICKS [SEED]   exit 0 when every tick kept the invariants
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "game/game_loop.h"
#include "game/main_flow.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "render/frame.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "world/messages.h"
#include "world/recorder.h"
#include "world/rooms.h"
#include "world/world_objects.h"

static constexpr int FRAME_EVERY = 8;   // ticks between drawn frames
static constexpr int LONGEST_HOLD = 40; // ticks one word is held at most
static constexpr int MAX_REPORTS = 20;  // broken invariants printed
static constexpr uint32_t ALL_BUT_QUIT = 0x7FFF;

static int broken = 0;
static long tick_number = 0;
static int library_bitmaps = 0; // made by create_bitmap and not yet destroyed

extern "C" BITMAP *__real_create_bitmap(int width, int height);
extern "C" void __real_destroy_bitmap(BITMAP *bitmap);

extern "C" BITMAP *__wrap_create_bitmap(int width, int height)
{
    BITMAP *b = __real_create_bitmap(width, height);
    library_bitmaps += b != nullptr;
    return b;
}

extern "C" void __wrap_destroy_bitmap(BITMAP *bitmap)
{
    library_bitmaps -= bitmap != nullptr;
    __real_destroy_bitmap(bitmap);
}

static void fail(const char *what, int a, int b)
{
    if (broken++ < MAX_REPORTS) {
        fprintf(stderr, "soak: tick %ld, room %d: %s (%d, %d)\n", tick_number, current_room, what,
                a, b);
    }
}

// A movable object's box may stand at most one unit past its room's limits.
static void check_inside_limits(int slot)
{
    const sprite_record &s = sprite_table[slot];
    const room_record &r = rooms[current_room];
    if (s.x < r.limit[SIDE_LOW_X] - 1 || s.x + s.size_x > r.limit[SIDE_HIGH_X] + 1 ||
        s.y < r.limit[SIDE_LOW_Y] - 1 || s.y + s.size_y > r.limit[SIDE_HIGH_Y] + 1) {
        fail("an object's box lies outside the room's limits", slot, s.world_object);
    }
}

static void check_invariants(int bitmaps)
{
    static int shown_by[WORLD_OBJECT_COUNT];
    for (int &slot : shown_by) {
        slot = -1;
    }
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        if (!s.active || s.world_object < 0 || s.world_object >= WORLD_OBJECT_COUNT) {
            continue;
        }
        if (shown_by[s.world_object] >= 0) {
            fail("two sprites show one world object", shown_by[s.world_object], i);
        }
        shown_by[s.world_object] = i;
        if (!s.fixed) {
            check_inside_limits(i);
        }
    }
    for (int item : inventory) {
        if (item >= 0 && item < WORLD_OBJECT_COUNT && shown_by[item] >= 0) {
            fail("a carried item has a sprite", item, shown_by[item]);
        }
    }
    if (energy > START_ENERGY) {
        fail("energy above 99", static_cast<int>(energy), 0);
    }
    if (live_bitmaps != bitmaps) {
        fail("the bitmap count changed", bitmaps, live_bitmaps);
    }
    // Every bitmap the library holds has an owner.
    int owned = live_bitmaps + (examine_picture != nullptr) + (item_picture != nullptr);
    for (const sprite_record &s : sprite_table) {
        owned += s.image != nullptr;
    }
    if (library_bitmaps != owned) {
        fail("the library holds bitmaps nothing owns", library_bitmaps, owned);
    }
}

// Each game starts from the world as the files hold it.
static void new_game(void)
{
    free_messages();
    load_world();
    start_game(START_ROOM, START_X, START_Y, START_Z);
}

int main(int argc, char **argv)
{
    if (argc < 3 || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: soak GAME_FOLDER TICKS [SEED]\n");
        return 2;
    }
    long ticks = atol(argv[2]);
    srand(argc > 3 ? static_cast<unsigned>(atoi(argv[3])) : 1u);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(COLOUR_DEPTH);
    if (load_game_datafiles() != STARTUP_OK) {
        fprintf(stderr, "soak: the game folder's datafiles do not load\n");
        return 2;
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    new_game();
    int bitmaps = live_bitmaps, games = 1;
    uint32_t word = 0;
    int held = 0;
    for (tick_number = 0; tick_number < ticks; tick_number++) {
        if (held-- <= 0) {
            word = static_cast<uint32_t>(rand()) & ALL_BUT_QUIT;
            held = rand() % LONGEST_HOLD;
        }
        play_recorded_word(word);
        game_tick();
        check_invariants(bitmaps);
        if (tick_number % FRAME_EVERY == 0) {
            compose_game_frame();
        }
        if (energy <= 0.0f) {
            end_game();
            new_game();
            games++;
        }
    }
    end_game();
    free_messages();
    destroy_view_buffers();
    shutdown_game();
    printf("soak: %ld ticks, %d games, %d broken invariants\n", ticks, games, broken);
    return broken == 0 ? 0 : 1;
}
