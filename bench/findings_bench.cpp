// The room editor's findings after an edit in the largest room of the
// shipped castle: the linter's whole-castle search made afresh each time
// (how the findings were made at first), against the editor's checks, which
// keep the search while the ways between rooms stay the same.
#include "bench_support.h"

#include <allegro.h>
#include <cerrno>
#include <unistd.h>

#include "edit_ops.h"
#include "game/game_loop.h"
#include "room_checks.h"
#include "physics/triggers.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "world_lint.h"

static world_image world;
static edit_history history;
static int largest = 0;
static int moved = -1;
static float step = 1; // the object moves there and back

static void set_up(void)
{
    std::vector<std::string> errors;
    if (!compile_world(QM_CONTENT_WORLD, world, errors)) {
        fprintf(stderr, "findings_bench: %s\n", errors.empty() ? "?" : errors[0].c_str());
        exit(1);
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(COLOUR_DEPTH);
    hand_world_to_game(world);
    build_trigger_table();
    if (chdir(QM_GAME_DIR) == 0) {
        load_game_datafiles();
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    for (int room = 0; room < ROOM_COUNT; room++) {
        const room_record &r = world.rooms[room], &l = world.rooms[largest];
        largest = r.size_x * r.size_y > l.size_x * l.size_y ? room : largest;
    }
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT && moved < 0; id++) {
        moved = world.objects[id].used != WOBJ_FREE && world.objects[id].room == largest ? id : -1;
    }
}

static void edit(void)
{
    edit_move_object(world, history, moved, step, 0, 0);
    step = -step;
    hand_world_to_game(world);
}

static void BM_FindingsSearchingTheCastle(benchmark::State &state)
{
    for (auto _ : state) {
        edit();
        std::vector<lint_finding> findings;
        lint_room(largest, findings);
    }
    state.SetLabel("room " + std::to_string(largest));
}
BENCHMARK(BM_FindingsSearchingTheCastle)->Unit(benchmark::kMillisecond);

static void BM_EditorFindings(benchmark::State &state)
{
    std::vector<std::string> lines;
    check_room(world, largest, 60, lines); // the search made once, on arriving in the room
    for (auto _ : state) {
        edit();
        check_room(world, largest, 60, lines);
    }
    state.SetLabel("room " + std::to_string(largest));
}
BENCHMARK(BM_EditorFindings)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    set_up();
    return run_benchmarks(argc, argv, [] {});
}
