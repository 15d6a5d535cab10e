// Composing one game frame of the busiest room of the built game folder,
// beside a memcpy of as many bytes as the frame touches, in the same run.
#include <benchmark/benchmark.h>

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "game/game_loop.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/text.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace {

int busiest_room(void)
{
    std::vector<int> count(ROOM_COUNT, 0);
    for (const world_object &w : world_objects) {
        if (w.used != WOBJ_FREE && w.room >= 0 && w.room < ROOM_COUNT) {
            count[static_cast<size_t>(w.room)]++;
        }
    }
    int best = START_ROOM;
    for (int r = 0; r < ROOM_COUNT; r++) {
        if (count[static_cast<size_t>(r)] > count[static_cast<size_t>(best)]) {
            best = r;
        }
    }
    return best;
}

// Loads the game folder once and enters its busiest room with the player.
long long set_up_world(void)
{
    static long long touched = -1;
    if (touched >= 0) {
        return touched;
    }
    if (chdir(QM_GAME_DIR) != 0 || install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        abort();
    }
    set_color_depth(COLOUR_DEPTH);
    if (load_game_datafiles() != STARTUP_OK) {
        abort();
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    load_world();
    text_mode_transparent();
    int room = busiest_room();
    fprintf(stderr, "busiest room: %d (brightness %d)\n", room, rooms[room].brightness);
    start_game(room, START_X, START_Y, START_Z);
    reveal_scale = REVEAL_END_SCALE;
    // Clear, background copy (read and write), and each sprite image read by
    // the cut pass, written by it and read again by the draw.
    touched = 3LL * VIEW_W * VIEW_H * 4;
    for (const sprite_record &s : sprite_table) {
        if (s.active && !s.is_room_part) {
            touched += 3LL * s.image_w * s.image_h * 4;
        }
    }
    // A room that is not fully lit also clears the light map, takes each
    // torch's glow from it (read and write) and subtracts it from the view
    // (read of both, write of the view).
    if (room_darkness(rooms[room].brightness) > 0) {
        BITMAP *glow = datafile_bitmap(custom_datafile, GLOW_IMAGE);
        touched += 4LL * VIEW_W * VIEW_H * 4;
        for (const sprite_record &s : sprite_table) {
            int w = s.world_object;
            int def = s.active && w >= 0 ? world_objects[w].obj_def : -1;
            if ((def == DEF_TORCH || def == DEF_TORCH_2) && glow != nullptr) {
                touched += 3LL * glow->w * glow->h * 4;
            }
        }
    }
    return touched;
}

void compose_busiest_frame(benchmark::State &state)
{
    long long bytes = set_up_world();
    for (auto _ : state) {
        compose_game_frame();
        benchmark::ClobberMemory();
    }
    state.counters["bytes_touched"] = static_cast<double>(bytes);
}
BENCHMARK(compose_busiest_frame)->Unit(benchmark::kMicrosecond);

// The same frame with the room fully lit, to show what the lighting costs.
void compose_busiest_frame_unlit(benchmark::State &state)
{
    set_up_world();
    lighting_enabled = 0;
    for (auto _ : state) {
        compose_game_frame();
        benchmark::ClobberMemory();
    }
    lighting_enabled = 1;
}
BENCHMARK(compose_busiest_frame_unlit)->Unit(benchmark::kMicrosecond);

void memcpy_same_bytes(benchmark::State &state)
{
    long long bytes = set_up_world();
    std::vector<char> from(static_cast<size_t>(bytes), 1), to(static_cast<size_t>(bytes));
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.counters["bytes_touched"] = static_cast<double>(bytes);
}
BENCHMARK(memcpy_same_bytes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
