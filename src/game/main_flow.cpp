// The main flow: start-up with one message box on failure, the world
// loaded, the title screen, one game, the teardown.
#include "game/main_flow.h"

#include "game/game_loop.h"
#include "platform/paths.h"
#include "render/title.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

static const char WORLD_OBJECTS_FORMAT[] = "%s\\wobjects.dat";

void load_world(void)
{
    load_object_defs();
    load_messages();
    char wobjects_path[256];
    format_data_path(wobjects_path, sizeof wobjects_path, WORLD_OBJECTS_FORMAT, data_folder);
    load_world_objects(wobjects_path);
    clear_rooms();
    load_map();
    bring_up_world();
}

int main_flow(void)
{
    int code = init_game();
    if (code == STARTUP_OK) {
        create_view_buffers();
        load_world();
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
