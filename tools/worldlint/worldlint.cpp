// The world linter: compiles the castle from its content files, loads it
// into the game's tables the way the game does, and prints every finding as
// "file:line: room R, object W (name): [kind] what is wrong".
//   worldlint --content content/world --game build/game [--walkthrough DIR] [--room N]
//             [--light] [--counts] [--creatures]
// --game gives the game folder whose game.dat lights the visibility check
// (without it that check is left out); --room checks one room only. Exit
// code 0 with no findings, 1 with findings, 2 when the content does not
// compile or the arguments are wrong. --light prints, instead of findings,
// the player's mean luminance at every entrance (the visibility check's
// measure), to tune a room's brightness and torches; --counts prints the
// castle in numbers (rooms, placed objects, definitions used, clue texts on
// carriable objects); --creatures prints how near each creature comes to an
// arrival. --walkthrough plays the action scripts of DIR and checks that the
// player is seen all along them.
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"
#include "shell/startup.h"
#include "world_compile.h"
#include "lint_light.h"
#include "lint_model.h"
#include "physics/triggers.h"
#include "world_lint.h"
#include "lint_checks.h"

namespace fs = std::filesystem;

struct lint_options {
    std::string content_dir;
    std::string game_dir;
    std::string walkthrough_dir;
    int room = NO_LINT_ROOM;
    int light = 0;
    int counts = 0;
    int creatures = 0;
};

static int parse(int argc, char **argv, lint_options &o)
{
    for (int i = 1; i < argc; i++) {
        const int has_value = i + 1 < argc;
        if (strcmp(argv[i], "--light") == 0) {
            o.light = 1;
        } else if (strcmp(argv[i], "--counts") == 0) {
            o.counts = 1;
        } else if (strcmp(argv[i], "--creatures") == 0) {
            o.creatures = 1;
        } else if (strcmp(argv[i], "--walkthrough") == 0 && has_value) {
            o.walkthrough_dir = argv[++i];
        } else if (strcmp(argv[i], "--content") == 0 && has_value) {
            o.content_dir = argv[++i];
        } else if (strcmp(argv[i], "--game") == 0 && has_value) {
            o.game_dir = argv[++i];
        } else if (strcmp(argv[i], "--room") == 0 && has_value) {
            char *end;
            long room = strtol(argv[++i], &end, 10);
            if (*end != '\0' || room < 0 || room >= ROOM_COUNT) {
                return 0;
            }
            o.room = static_cast<int>(room);
        } else {
            return 0;
        }
    }
    return !o.content_dir.empty();
}

// The game's pictures, for the visibility check; 0 when there are none.
static int load_game_pictures(const std::string &game_dir)
{
    std::error_code failure;
    const std::string here = fs::current_path(failure).string();
    if (failure || game_dir.empty() || chdir(game_dir.c_str()) != 0) {
        return 0;
    }
    int loaded = load_game_datafiles() == STARTUP_OK;
    if (chdir(here.c_str()) != 0) {
        return 0;
    }
    return loaded;
}

// One line per room and entrance: where, and how bright the player is.
static void print_light(int only_room)
{
    castle_reach reach = explore_castle();
    for (int room = 0; room < ROOM_COUNT; room++) {
        if ((only_room != NO_LINT_ROOM && room != only_room) || rooms[room].size_x == 0) {
            continue;
        }
        for (const lit_entrance &e : entrance_luminance(room, entrances_of(reach, room))) {
            printf("room %d brightness %d at %d,%d,%d: %d\n", room, rooms[room].brightness, e.at.x,
                   e.at.y, e.at.z, e.luminance);
        }
    }
}

// One line per creature: where it is and how near it comes to an arrival.
static void print_creatures(void)
{
    for (int room = 0; room < ROOM_COUNT; room++) {
        if (!room_in_use(room)) {
            continue;
        }
        for (const lint_box &b : room_boxes(room)) {
            if (b.kind == BOX_CREATURE ||
                (b.object != NOT_AN_OBJECT &&
                 object_defs[world_objects[b.object].obj_def].behaviour != BEHAVIOUR_NONE)) {
                creature_clearance c = nearest_arrival(room, b);
                printf("room %d object %d (%s): %.1f units from the arrival at %s, %.1f on its "
                       "beat, luminance %d\n",
                       room, b.object, def_name(b.object), c.start, spot_text(c.at).c_str(),
                       c.walked, creature_luminance(room, b.object));
            }
        }
    }
}

int main(int argc, char **argv)
{
    lint_options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr, "usage: worldlint --content CONTENT_DIR [--game GAME_DIR] [--room N] "
                        "[--walkthrough DIR] [--light] [--counts] [--creatures]\n");
        return 2;
    }
    world_image world;
    world_sources sources;
    std::vector<std::string> errors;
    if (!compile_world(o.content_dir, world, errors, &sources)) {
        for (const std::string &e : errors) {
            fprintf(stderr, "%s\n", e.c_str());
        }
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(COLOUR_DEPTH);
    hand_world_to_game(world);
    build_trigger_table();
    if (!load_game_pictures(o.game_dir)) {
        fprintf(stderr, "worldlint: no game.dat in %s: the visibility check is left out\n",
                o.game_dir.empty() ? "(no --game)" : o.game_dir.c_str());
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    if (o.light) {
        print_light(o.room);
        return 0;
    }
    if (o.creatures) {
        print_creatures();
        return 0;
    }
    if (o.counts) {
        castle_counts c = count_castle();
        printf("%d rooms, %d placed objects, %d of %d named definitions used, %d clue texts on "
               "carriable objects\n",
               c.rooms, c.objects, c.definitions_used, c.named_definitions, c.carried_clues);
        return 0;
    }
    std::vector<lint_finding> findings;
    if (o.room == NO_LINT_ROOM) {
        lint_world(findings);
    } else {
        lint_room(o.room, findings);
    }
    if (!o.walkthrough_dir.empty()) {
        check_walkthrough_sight(o.walkthrough_dir, findings);
    }
    for (const lint_finding &f : findings) {
        printf("%s\n", format_finding(f, &sources).c_str());
    }
    fflush(stdout);
    fprintf(stderr, "worldlint: %d carriable clues and relics taken with one press\n",
            proven_takeable_count);
    fprintf(stderr, "worldlint: %zu finding%s\n", findings.size(), findings.size() == 1 ? "" : "s");
    return findings.empty() ? 0 : 1;
}
END_OF_MAIN()
