// Start-up, main flow and teardown. Every start-up step that can fail returns
// its code at once; the main flow shows one message box and tears down.
#include "shell/startup.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <ctime>
#include <unistd.h>

#include "game/game_loop.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/window.h"
#include "render/text.h"
#include "shell/datafile_check.h"
#include "render/title.h"
#include "shell/actions.h"
#include "shell/config.h"
#include "shell/timing.h"
#include "sound/sound.h"
#include "world/image_index.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

static const char WINDOW_TITLE[] = "Quillmere";
static const char MESSAGE_BOX_TITLE[] = "Initialisation error";
static const char MESSAGE_FORMAT[] =
    "Quillmere failed to start due to the following reason:\n\nError %i, %s";
static const char GENERAL_DATAFILE_NAME[] = "qm.dat";
static const char CUSTOM_DATAFILE_FORMAT[] = "%s\\game.dat";
static const char WORLD_OBJECTS_FORMAT[] = "%s\\wobjects.dat";
static constexpr int FORCED_REFRESH_RATE = 60;
static constexpr int SECOND_TIMER_MS = 1000;

const char data_folder[] = "data1";
DATAFILE *general_datafile = nullptr;
DATAFILE *custom_datafile = nullptr;
BITMAP *backbuffer = nullptr;
BITMAP *room_background = nullptr;
BITMAP *light_map = nullptr;
FONT *font_0 = nullptr;
FONT *font_1 = nullptr;
int live_bitmaps = 0;
char error_text[256];
volatile int close_requested = 0;
int teardown_steps[TEARDOWN_MAX_STEPS];
int teardown_step_count = 0;

// What start-up has brought up, so the teardown skips what never was.
static int library_started = 0;
static int timers_installed = 0;
static int sound_open = 0;

// Reason texts by start-up code; codes without a row share the last text.
static const char *const startup_reasons[] = {
    "",                                    // STARTUP_OK
    "failed to initialise Allegro",        // STARTUP_NO_LIBRARY
    "failed to initialise AllegroFont",    // STARTUP_NO_LIBRARY_FONT
    "failed to read config file",          // STARTUP_CONFIG_UNREADABLE
    "failed to initialise keyboard",       // STARTUP_NO_KEYBOARD
    "failed to initialise graphics mode",  // STARTUP_NO_GRAPHICS_MODE
    "failed to read general data file",    // STARTUP_NO_GENERAL_DATA
    "failed to read custom data file",     // STARTUP_NO_CUSTOM_DATA
    "failed to initialise sound",          // STARTUP_NO_LIBRARY_SOUND
    "failed to load sound and music data", // STARTUP_NO_SOUND_LIBRARY
    "failed to create backbuffer",         // STARTUP_NO_BACKBUFFER
    "failed to create fonts",              // STARTUP_NO_FONTS
};
static const char UNKNOWN_REASON[] = "an unknown error occured";

const char *startup_reason(int code)
{
    int known = static_cast<int>(sizeof startup_reasons / sizeof startup_reasons[0]);
    if (code > STARTUP_OK && code < known) {
        return startup_reasons[code];
    }
    return UNKNOWN_REASON;
}

void format_startup_message(char *text, int size, int code)
{
    snprintf(text, static_cast<size_t>(size), MESSAGE_FORMAT, code, startup_reason(code));
}

BITMAP *make_bitmap(int width, int height)
{
    live_bitmaps++;
    return create_bitmap(width, height);
}

void free_bitmap(BITMAP *bitmap)
{
    live_bitmaps--;
    if (bitmap != nullptr) {
        destroy_bitmap(bitmap);
    }
}

int datafile_count(DATAFILE *data)
{
    int n = 0;
    if (data != nullptr) {
        while (data[n].type != DAT_END) {
            n++;
        }
    }
    return n;
}

BITMAP *datafile_bitmap(DATAFILE *data, int index)
{
    if (data == nullptr || index < 0) {
        return nullptr;
    }
    // Only the entries up to index are looked at: this runs for every
    // sprite image each tick, and the file's end lies far beyond most.
    for (int i = 0; i < index; i++) {
        if (data[i].type == DAT_END) {
            return nullptr;
        }
    }
    if (data[index].type != DAT_BITMAP) {
        return nullptr;
    }
    return static_cast<BITMAP *>(data[index].dat);
}

void close_button_callback(void)
{
    close_requested = 1;
}

// A request to end (SIGTERM, SIGINT, SIGQUIT) is a close request: every
// wait and the game loop look at close_requested and end through the normal
// teardown. The library's own handler tears down inside the signal, which
// aborts when it lands in the middle of a frame. A second request while the
// first is still pending ends the program at once.
static void end_requested(int)
{
    if (close_requested) {
        _exit(0);
    }
    close_requested = 1;
    message_box_end_requested = 1;
}

static void take_end_requests(void)
{
    struct sigaction action = {};
    action.sa_handler = end_requested;
    sigemptyset(&action.sa_mask);
    for (int signal_number : {SIGTERM, SIGINT, SIGQUIT}) {
        sigaction(signal_number, &action, nullptr);
    }
}

void centre_window(void)
{
    int x, y, w, h, desktop_w, desktop_h;
    if (!platform_window_rects(&x, &y, &w, &h, &desktop_w, &desktop_h)) {
        return;
    }
    platform_move_window((desktop_w - w) / 2, (desktop_h - h) / 2);
}

// A window side times the zoom; 0 (refused like any size the desktop cannot
// hold) when it would not fit an int.
static int zoomed(int length)
{
    long long size = static_cast<long long>(length) * zoom;
    return size > INT_MAX ? 0 : static_cast<int>(size);
}

int set_graphics_mode(void)
{
    if (forcerate != 0) {
        request_refresh_rate(FORCED_REFRESH_RATE);
    }
    int w = zoomed(VIEW_W), h = zoomed(VIEW_H);
    int ok = platform_window_fits(w, h) && set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0) == 0;
    if (ok) {
        centre_window();
        platform_exit_when_display_lost();
    }
    remove_keyboard();
    install_keyboard();
    return ok;
}

// Number of glyph cells in a font sheet, found the way the library's font
// grabber finds them: the top-left pixel is the separator colour, and a cell
// starts where a separator corner encloses a non-separator pixel.
int count_font_cells(BITMAP *sheet)
{
    int border = getpixel(sheet, 0, 0);
    int cells = 0;
    for (int y = 0; y + 1 < sheet->h; y++) {
        for (int x = 0; x + 1 < sheet->w; x++) {
            if (getpixel(sheet, x, y) == border && getpixel(sheet, x + 1, y) == border &&
                getpixel(sheet, x, y + 1) == border && getpixel(sheet, x + 1, y + 1) != border) {
                cells++;
            }
        }
    }
    return cells;
}

// The library's grabber crashes on an image that is not a font sheet, so the
// sheet is checked first: it must hold a cell for every printable character.
static FONT *font_from_entry(int index)
{
    BITMAP *sheet = datafile_bitmap(general_datafile, index);
    if (sheet == nullptr || count_font_cells(sheet) < FONT_SHEET_MIN_CELLS) {
        return nullptr;
    }
    return grab_font_from_bitmap(sheet);
}

// Entries of the game datafile the game draws: every image a row of the
// image table claims.
static int custom_entries_used(void)
{
    int used = 0;
    for (int i = 0; i < image_range_count; i++) {
        if (image_ranges[i].last + 1 > used) {
            used = image_ranges[i].last + 1;
        }
    }
    return used;
}

// Loads a datafile after checking that it holds together and holds at least
// the entries the game addresses (the check lets only images through), so a
// game never starts with its panel or objects missing.
static DATAFILE *load_whole_datafile(const char *path, int entries_used)
{
    if (!datafile_is_whole(path)) {
        return nullptr;
    }
    DATAFILE *data = load_datafile(path);
    if (data != nullptr && datafile_count(data) < entries_used) {
        unload_datafile(data);
        return nullptr;
    }
    return data;
}

int load_game_datafiles(void)
{
    general_datafile = load_whole_datafile(GENERAL_DATAFILE_NAME, GENERAL_ENTRIES_USED);
    if (general_datafile == nullptr) {
        return STARTUP_NO_GENERAL_DATA;
    }
    char path[256];
    format_data_path(path, sizeof path, CUSTOM_DATAFILE_FORMAT, data_folder);
    custom_datafile = load_whole_datafile(path, custom_entries_used());
    if (custom_datafile == nullptr) {
        return STARTUP_NO_CUSTOM_DATA;
    }
    return STARTUP_OK;
}

static int start_sound_and_fonts(void)
{
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0) {
        return STARTUP_NO_LIBRARY_SOUND;
    }
    if (sound_init() != 0) {
        return STARTUP_NO_SOUND_LIBRARY;
    }
    sound_open = 1;
    font_1 = font_from_entry(GENERAL_FONT_1);
    if (font_1 == nullptr) {
        return STARTUP_NO_FONTS;
    }
    font_0 = font_from_entry(GENERAL_FONT_0);
    if (font_0 == nullptr) {
        return STARTUP_NO_FONTS;
    }
    return STARTUP_OK;
}

static void install_timers(void)
{
    install_int_ex(tick_timer_callback, BPS_TO_TIMER(TICKS_PER_SECOND));
    install_timer();
    install_int(second_timer_callback, SECOND_TIMER_MS);
    install_mouse();
    timers_installed = 1;
}

int init_game(void)
{
    teardown_step_count = 0;
    set_uformat(U_ASCII);
    if (allegro_init() != 0) {
        return STARTUP_NO_LIBRARY;
    }
    library_started = 1;
    take_end_requests();
    if (!read_config()) {
        return STARTUP_NO_CONFIG_FILE;
    }
    apply_cpu_usage();
    set_color_depth(COLOUR_DEPTH);
    if (!set_graphics_mode()) {
        return STARTUP_NO_GRAPHICS_MODE;
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    if (backbuffer == nullptr) {
        return STARTUP_NO_BACKBUFFER;
    }
    install_timers();
    // Closing the window ends the program through the normal teardown: the
    // title screen and the game loop both look at close_requested.
    set_close_button_callback(close_button_callback);
    set_window_title(WINDOW_TITLE);
    if (install_keyboard() != 0) {
        return STARTUP_NO_KEYBOARD;
    }
    // The X11 keyboard switches the program to the user's locale; numbers in
    // our files and texts are always written the C way.
    setlocale(LC_NUMERIC, "C");
    if (install_joystick(JOY_TYPE_AUTODETECT) != 0) {
        return STARTUP_NO_JOYSTICK;
    }
    reset_input();
    int code = load_game_datafiles();
    if (code != STARTUP_OK) {
        return code;
    }
    code = start_sound_and_fonts();
    if (code != STARTUP_OK) {
        return code;
    }
    runtime_srand(static_cast<unsigned int>(time(nullptr)));
    return STARTUP_OK;
}

void create_view_buffers(void)
{
    room_background = make_bitmap(ROOM_BACKGROUND_W, ROOM_BACKGROUND_H);
    light_map = make_bitmap(VIEW_W, VIEW_H);
}

void destroy_view_buffers(void)
{
    free_bitmap(room_background);
    room_background = nullptr;
    free_bitmap(light_map);
    light_map = nullptr;
}

static void note_teardown(int step)
{
    if (teardown_step_count < TEARDOWN_MAX_STEPS) {
        teardown_steps[teardown_step_count++] = step;
    }
}

static void stop_timers(void)
{
    if (!timers_installed) {
        return;
    }
    remove_int(tick_timer_callback);
    note_teardown(TEARDOWN_TICK_TIMER);
    remove_int(second_timer_callback);
    note_teardown(TEARDOWN_SECOND_TIMER);
    timers_installed = 0;
}

static void release_fonts_and_sound(void)
{
    if (font_1 != nullptr) {
        destroy_font(font_1);
        font_1 = nullptr;
        note_teardown(TEARDOWN_FONT_1);
    }
    if (font_0 != nullptr) {
        destroy_font(font_0);
        font_0 = nullptr;
        note_teardown(TEARDOWN_FONT_0);
    }
    if (sound_open) {
        sound_close();
        sound_open = 0;
        note_teardown(TEARDOWN_SOUND);
    }
}

static void release_data_and_buffers(void)
{
    if (general_datafile != nullptr) {
        unload_datafile(general_datafile);
        general_datafile = nullptr;
        note_teardown(TEARDOWN_GENERAL_DATA);
    }
    if (custom_datafile != nullptr) {
        unload_datafile(custom_datafile);
        custom_datafile = nullptr;
        note_teardown(TEARDOWN_CUSTOM_DATA);
    }
    release_present_buffer();
    if (backbuffer != nullptr) {
        free_bitmap(backbuffer);
        backbuffer = nullptr;
        note_teardown(TEARDOWN_BACKBUFFER);
    }
}

void shutdown_game(void)
{
    stop_timers();
    release_fonts_and_sound();
    release_data_and_buffers();
    if (library_started) {
        request_refresh_rate(0);
        note_teardown(TEARDOWN_REFRESH_RATE);
        allegro_exit();
        note_teardown(TEARDOWN_LIBRARY);
        library_started = 0;
    }
}

static void show_startup_failure(int code)
{
    char message[512];
    error_text[0] = '\0';
    snprintf(error_text, sizeof error_text, "%s", startup_reason(code));
    if (error_text[0] != '\0') {
        format_startup_message(message, sizeof message, code);
        platform_message_box(MESSAGE_BOX_TITLE, message);
    }
}

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
