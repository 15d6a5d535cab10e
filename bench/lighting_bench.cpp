// The lighting pass of a dark room with four torches, beside a memcpy of the
// same bytes, in the same run.
#include <benchmark/benchmark.h>

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/lighting.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace {

constexpr int GLOW_SIZE = 130;
constexpr int TORCHES = 4;

std::vector<DATAFILE> art;

void set_up_dark_room(void)
{
    static int done = 0;
    if (done) {
        return;
    }
    done = 1;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    for (int i = 0; i <= GLOW_IMAGE; i++) {
        BITMAP *b = create_bitmap(i == GLOW_IMAGE ? GLOW_SIZE : 1, i == GLOW_IMAGE ? GLOW_SIZE : 1);
        clear_to_color(b, makecol(180, 140, 90));
        art.push_back(DATAFILE{b, DAT_BITMAP, 0, nullptr});
    }
    art.push_back(DATAFILE{nullptr, DAT_END, 0, nullptr});
    custom_datafile = art.data();
    backbuffer = create_bitmap(VIEW_W, VIEW_H);
    light_map = create_bitmap(VIEW_W, VIEW_H);
    clear_to_color(backbuffer, makecol(200, 180, 160));
    current_room = 1;
    rooms[1].brightness = 0;
    for (int t = 0; t < TORCHES; t++) {
        sprite_record &s = sprite_table[2 + t];
        s.active = 1;
        s.world_object = 10 + t;
        s.screen_x = 40 + 70 * t;
        s.screen_y = 60 + 20 * (t % 2);
        world_objects[10 + t].obj_def = DEF_TORCH;
    }
}

// Clear of the map, four glows (read and write of the map), the final pass
// (read of the map and of the view, write of the view).
long long bytes_touched(void)
{
    return 4LL * VIEW_W * VIEW_H * 4 + TORCHES * 3LL * GLOW_SIZE * GLOW_SIZE * 4;
}

void lighting_dark_room(benchmark::State &state)
{
    set_up_dark_room();
    for (auto _ : state) {
        apply_lighting();
        benchmark::ClobberMemory();
    }
    state.counters["bytes_touched"] = static_cast<double>(bytes_touched());
}
BENCHMARK(lighting_dark_room)->Unit(benchmark::kMicrosecond);

void memcpy_same_bytes(benchmark::State &state)
{
    std::vector<char> from(static_cast<size_t>(bytes_touched()), 1), to(from.size());
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.counters["bytes_touched"] = static_cast<double>(bytes_touched());
}
BENCHMARK(memcpy_same_bytes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
