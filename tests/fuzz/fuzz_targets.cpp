// libFuzzer targets: every loader, the datafile check, the world compiler
// and play itself. One source, one program per target: QM_FUZZ_TARGET names
// which (the build makes each with its own value).
#include <allegro.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "../unit/test_support.h"
#include "../unit/tick_harness.h"
#include "game/game_loop.h"
#include "physics/physics.h"
#include "render/frame.h"
#include "runtime/room_setup.h"
#include "shell/config.h"
#include "shell/datafile_check.h"
#include "world/messages.h"
#include "world/recorder.h"
#include "world/rooms.h"
#include "world/world_objects.h"
#include "world_compile.h"
#include "world_image.h"

constexpr int FUZZ_CONFIG = 1;
constexpr int FUZZ_MESSAGES = 2;
constexpr int FUZZ_MAP = 3;
constexpr int FUZZ_WOBJECTS = 4;
constexpr int FUZZ_RECORDING = 5;
constexpr int FUZZ_DATAFILE = 6;
constexpr int FUZZ_WORLDC = 7;
constexpr int FUZZ_PLAY = 8;

constexpr int FUZZ_ROOM = 1;         // the room a fuzzed map or world is played in
constexpr int PLAY_TICKS = 300;      // ticks of one fuzzed game at most
constexpr int SETTLE_TICKS = 30;     // ticks a fuzzed object table is played
constexpr int PLAY_FRAME_EVERY = 50; // ticks between drawn frames
constexpr uint32_t ALL_BUT_QUIT = 0x7FFF;

// Allegro without a display, a private working folder, the frame's surfaces
// and a game datafile of plain images: made once per run.
static void start_once(void)
{
    static int started = 0;
    if (started) {
        return;
    }
    started = 1;
    set_uformat(U_ASCII); // as the game starts: all text is 8-bit
    start_headless_allegro();
    char pattern[] = "/tmp/qm-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        abort();
    }
    static fake_datafile art(HARNESS_ART_IMAGES);
    backbuffer = create_bitmap(VIEW_W, VIEW_H);
    light_map = create_bitmap(VIEW_W, VIEW_H);
}

static void write_input(const char *name, const uint8_t *data, size_t size)
{
    write_file(name, std::string(reinterpret_cast<const char *>(data), size));
}

// The map file holds a blank room 0 and the fuzzed room after it.
static void load_fuzzed_map(const uint8_t *data, size_t size)
{
    std::string map(ROOM_RECORD_SIZE, '\0');
    map.append(reinterpret_cast<const char *>(data), size);
    write_file("map.dat", map);
    write_input("poly.dat", data, size);
    load_map_files("map.dat", "poly.dat");
}

// Plays up to ticks ticks in the fuzzed room with words from data, drawing
// a frame now and then.
static void play(const uint8_t *data, size_t size, int ticks)
{
    start_game(FUZZ_ROOM, START_X, START_Y, START_Z);
    for (int tick = 0; tick < ticks && energy > 0.0f; tick++) {
        size_t at = 2 * static_cast<size_t>(tick);
        uint32_t word = at + 1 < size ? (data[at] | data[at + 1] << 8) & ALL_BUT_QUIT : 0;
        play_recorded_word(word);
        game_tick();
        if (tick % PLAY_FRAME_EVERY == 0) {
            compose_game_frame();
        }
    }
}

static void fuzz_one(const uint8_t *data, size_t size)
{
    switch (QM_FUZZ_TARGET) {
    case FUZZ_CONFIG:
        write_input("config.txt", data, size);
        read_config();
        reset_config_defaults();
        break;
    case FUZZ_MESSAGES:
        write_input("messages.dat", data, size);
        load_messages_file("messages.dat");
        for (int i = -1; i < 4; i++) {
            get_message(i);
        }
        free_messages();
        break;
    case FUZZ_MAP:
        harness_begin();
        load_fuzzed_map(data, size);
        build_room(FUZZ_ROOM);
        compose_game_frame();
        harness_end();
        break;
    case FUZZ_WOBJECTS:
        harness_begin();
        write_input("wobjects.dat", data, size);
        load_world_objects("wobjects.dat");
        make_flat_room(FUZZ_ROOM, ROOM_CELLS, ROOM_CELLS, HARNESS_FLOOR);
        play(nullptr, 0, SETTLE_TICKS);
        harness_end();
        break;
    case FUZZ_RECORDING:
        write_input("fledist.dat", data, size);
        load_recording_file("fledist.dat");
        for (int i = 0; i < PLAY_TICKS; i++) {
            record_or_play_tick();
        }
        stop_recording();
        break;
    case FUZZ_DATAFILE:
        write_input("any.dat", data, size);
        if (datafile_is_whole("any.dat")) {
            DATAFILE *d = load_datafile("any.dat");
            if (d != nullptr) {
                unload_datafile(d);
            }
        }
        break;
    case FUZZ_WORLDC: {
        std::filesystem::create_directories("content");
        write_input("content/room.toml", data, size);
        world_image world;
        std::vector<std::string> errors;
        std::string error;
        if (compile_world("content", world, errors)) {
            std::filesystem::create_directories("out");
            write_world_files("out", world, error);
        }
        break;
    }
    case FUZZ_PLAY: {
        // A room, then world objects, then the action words.
        size_t room_bytes = size < ROOM_RECORD_SIZE ? size : ROOM_RECORD_SIZE;
        size_t object_bytes =
            (size - room_bytes) / 2 / WORLD_OBJECT_RECORD_SIZE * WORLD_OBJECT_RECORD_SIZE;
        harness_begin();
        load_fuzzed_map(data, room_bytes);
        write_input("wobjects.dat", data + room_bytes, object_bytes);
        load_world_objects("wobjects.dat");
        play(data + room_bytes + object_bytes, size - room_bytes - object_bytes, PLAY_TICKS);
        harness_end();
        break;
    }
    default:
        break;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    start_once();
    fuzz_one(data, size);
    return 0;
}
