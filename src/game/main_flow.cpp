// The main flow: start-up with one message box on failure, the world
// brought up, the title screen, one game, the teardown.
#include "game/main_flow.h"

#include "game/game_loop.h"
#include "physics/triggers.h"
#include "platform/paths.h"
#include "render/title.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

static const char WORLD_OBJECTS_FORMAT[] = "%s\\wobjects.dat";

static void load_world_objects_file(void)
{
    char path[256];
    format_data_path(path, sizeof path, WORLD_OBJECTS_FORMAT, data_folder);
    load_world_objects(path);
}

// The steps of bringing up the world, in their one order; those that read
// the data folder are left out for a world handed over in memory.
struct world_step {
    void (*run)(void);
    int reads_files;
};
static const world_step world_steps[] = {
    {load_object_defs, 0},    {load_messages, 1}, {load_world_objects_file, 1},
    {build_trigger_table, 0}, {reset_sprites, 0}, {clear_rooms, 1},
    {rearm_triggers, 0},      {load_map, 1},
};

void load_world(int source)
{
    for (const world_step &step : world_steps) {
        if (source == WORLD_FROM_DATA_FOLDER || !step.reads_files) {
            step.run();
        }
    }
}

int main_flow(void)
{
    int code = init_game();
    if (code == STARTUP_OK) {
        create_view_buffers();
        load_world(WORLD_FROM_DATA_FOLDER);
        text_mode_transparent();
        if (title_screen() == TITLE_BEGIN) {
            run_game(START_ROOM, START_X, START_Y, START_Z);
        }
        destroy_view_buffers();
    } else {
        show_startup_failure(code);
    }
    shutdown_game();
    return 0;
}
