// The room editor's dialog. Every widget is an Allegro GUI object; the
// buttons, lists and the view call the editing operations and then refresh
// the fields, the findings and the view from the world tables.
#include "editor_gui.h"

#include "file_replace.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "edit_ops.h"
#include "editor_view.h"
#include "game/game_loop.h"
#include "physics/triggers.h"
#include "room_checks.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "shell/timing.h"
#include "world/object_defs.h"
#include "world_compile.h"

// Modes, in the order of their buttons.
constexpr int MODE_BUILD = 0;
constexpr int MODE_OBJECTS = 1;
constexpr int MODE_POSITION = 2;
constexpr int MODE_PROPS = 3;
constexpr int MODE_DESC = 4;
constexpr int MODE_POLY = 5;
constexpr int MODE_COUNT = 6;
constexpr int MODE_ALL = -1; // widgets shown in every mode
static const char *const MODE_LABELS[MODE_COUNT] = {"Build", "Objects", "Position",
                                                    "Props", "Desc",    "Poly"};

// Actions of the buttons; the mode buttons come first, as MODE_ ids.
constexpr int ACT_NONE = -1;
constexpr int ACT_UNDO = 10;
constexpr int ACT_REDO = 11;
constexpr int ACT_SAVE = 12;
constexpr int ACT_TRY = 13;
constexpr int ACT_GO = 14;
constexpr int ACT_QUIT = 15;
constexpr int ACT_NEW_ROOM = 16;
constexpr int ACT_APPLY = 17;
constexpr int ACT_DELETE = 18;
constexpr int ACT_DUPLICATE = 19;
constexpr int ACT_MOVE_X_DOWN = 20; // six moves: x-, x+, y-, y+, z-, z+
constexpr int ACT_POLY_NEW = 26;
constexpr int ACT_POLY_DELETE = 27;
constexpr int ACT_JUMP_SW = 28; // four jumps, in side order
constexpr int ACT_JUMP_DOOR = 32;
constexpr int ACT_MARK = 33;

// What an edit box shows and changes.
constexpr int BOX_ROOM = 0;    // a room field, a number
constexpr int BOX_CELL = 1;    // a field of the selected cell at the level
constexpr int BOX_LEVEL = 2;   // the level the cell boxes show
constexpr int BOX_OBJECT = 3;  // a world object field, shown through its label's format
constexpr int BOX_CAPTION = 4; // the room's caption
constexpr int BOX_EXAMINE = 5; // the selected object's examine text
constexpr int BOX_ROOM_ID = 6; // the room to go to

constexpr int TEXT_BOX = MAX_TEXT_LENGTH + 1;
constexpr int MAX_WIDGETS = 160;
constexpr int MAX_BOXES = 48;
constexpr int BAR_Y = 2;
constexpr int BUTTON_H = 20;
constexpr int VIEW_X = 4;
constexpr int VIEW_Y = 28;
constexpr int PANEL_X = 656;
constexpr int PANEL_W = EDITOR_W - PANEL_X - 6;
constexpr int ROW_H = 18;
constexpr int STATUS_Y = EDITOR_H - 16;
constexpr int POINT_REACH = 4; // view pixels within which a click takes a polygon point
constexpr int ASCII_ESCAPE = 27;
constexpr int ASCII_CTRL_Y = 25;
constexpr int ASCII_CTRL_Z = 26;
constexpr int FINDING_WIDTH = 42;  // characters of a findings line
constexpr int DEF_BARREL_ROW = 50; // the palette opens on a barrel

struct edit_box {
    int kind;
    int field;
    const char *label; // for BOX_OBJECT the format of the text, e.g. "door=%i"
    int mode;
    char text[TEXT_BOX];
    char shown[TEXT_BOX]; // the text as last filled from the world
};

struct editor_state {
    const editor_paths *paths;
    world_image *world;
    edit_history history;
    saved_texts saved;
    size_t saved_done = 0; // history.done at the last save
    int room = START_ROOM;
    int mode = MODE_BUILD;
    int level = 0;
    int snap = 0;
    int quit = 0;
    int view_dirty = 1;
    view_marks marks;
    std::vector<int> bookmarks;
    std::vector<std::string> findings;
    world_image checked_world; // the world and room the findings were made for
    int checked_room = -1;
    std::vector<int> room_polygons;
    char status[TEXT_BOX];
};

static editor_state ed;
static DIALOG dialog[MAX_WIDGETS];
static int widget_mode[MAX_WIDGETS];
static int widget_action[MAX_WIDGETS];
static int widget_count = 0;
static edit_box boxes[MAX_BOXES];
static int box_widget[MAX_BOXES];
static int box_count = 0;
static int list_seen[MAX_WIDGETS]; // a list's selection when last looked at
static BITMAP *view_cache = nullptr;
static int definition_widget = -1; // the Objects mode's list of definitions
static int findings_widget = -1;
static int bookmarks_widget = -1;
static char snap_label[] = "Snap to cell";
static char position_text[64];
static char cell_text[64];

static void set_status(const char *text)
{
    snprintf(ed.status, sizeof ed.status, "%s", text);
}

static void report_result(int result)
{
    set_status(edit_result_text(result));
}

static int add_widget(DIALOG_PROC proc, int x, int y, int w, int h, int mode, void *dp,
                      int action = ACT_NONE, int flags = 0, int d1 = 0)
{
    const int i = widget_count++;
    dialog[i] = {proc, x,     y,  w, h,  gui_fg_color, gui_bg_color,
                 0,    flags, d1, 0, dp, nullptr,      nullptr};
    widget_mode[i] = mode;
    widget_action[i] = action;
    return i;
}

static int field_edit_proc(int msg, DIALOG *d, int c);

static void add_box(int kind, int field, const char *label, int mode, int x, int y, int w)
{
    edit_box &box = boxes[box_count];
    box = {kind, field, label, mode, "", ""};
    box_widget[box_count++] = -1;
    int edit_x = x;
    if (kind != BOX_OBJECT && label != nullptr) {
        add_widget(d_text_proc, x, y + 4, 8 * static_cast<int>(strlen(label)), 8, mode,
                   const_cast<char *>(label));
        edit_x = x + 8 * static_cast<int>(strlen(label)) + 6;
    }
    box_widget[box_count - 1] = add_widget(field_edit_proc, edit_x, y + 2, w, 12, mode, box.text,
                                           ACT_NONE, 0, TEXT_BOX - 1);
}

// ---- The world and the fields -------------------------------------------

static int valid_selection(void)
{
    const int id = ed.marks.object;
    return id >= FIRST_OBJECT_ID && id < WORLD_OBJECT_COUNT &&
           ed.world->objects[static_cast<size_t>(id)].used != WOBJ_FREE &&
           ed.world->objects[static_cast<size_t>(id)].room == ed.room;
}

static int box_value(const edit_box &box)
{
    const world_image &w = *ed.world;
    switch (box.kind) {
    case BOX_ROOM:
        return room_is_defined(w, ed.room) ? room_field(w, ed.room, box.field) : 0;
    case BOX_CELL:
        return cell_field(w, ed.room, ed.marks.cell_x, ed.marks.cell_y, box.field, ed.level);
    case BOX_LEVEL:
        return ed.level;
    case BOX_OBJECT:
        return object_field(w, ed.marks.object, box.field);
    case BOX_ROOM_ID:
        return ed.room;
    }
    return 0;
}

static void fill_box(edit_box &box)
{
    if (box.kind == BOX_CAPTION) {
        snprintf(box.text, TEXT_BOX, "%s", edit_text(*ed.world, TEXT_CAPTION, ed.room).c_str());
    } else if (box.kind == BOX_EXAMINE) {
        snprintf(box.text, TEXT_BOX, "%s",
                 edit_text(*ed.world, TEXT_EXAMINE, ed.marks.object).c_str());
    } else if (box.kind == BOX_OBJECT) {
        snprintf(box.text, TEXT_BOX, box.label, box_value(box));
    } else {
        snprintf(box.text, TEXT_BOX, "%i", box_value(box));
    }
    memcpy(box.shown, box.text, TEXT_BOX);
}

static void collect_room_polygons(void)
{
    ed.room_polygons.clear();
    for (int p = 0; p < POLYGON_COUNT; p++) {
        if (ed.world->polygons[static_cast<size_t>(p)].room == ed.room) {
            ed.room_polygons.push_back(p);
        }
    }
}

static void refresh_texts(void)
{
    const world_image &w = *ed.world;
    if (valid_selection()) {
        const world_object &o = w.objects[static_cast<size_t>(ed.marks.object)];
        snprintf(position_text, sizeof position_text, "object %i at x=%g y=%g z=%g",
                 ed.marks.object, static_cast<double>(o.x), static_cast<double>(o.y),
                 static_cast<double>(o.z));
    } else {
        ed.marks.object = -1;
        snprintf(position_text, sizeof position_text, "no object selected");
    }
    snprintf(cell_text, sizeof cell_text, "Cell %i,%i", ed.marks.cell_x, ed.marks.cell_y);
}

// Two tables of plain records hold the same bytes.
#define SAME_RECORDS(a, b)                                                                         \
    ((a).size() == (b).size() && memcmp((a).data(), (b).data(), (a).size() * sizeof((a)[0])) == 0)

// The linter follows the player through the whole castle, which takes a
// noticeable part of a second: its findings are made again only when the
// world or the room shown has changed, so switching modes or selecting
// stays quick and no click is lost while the editor is busy.
static void check_room_if_changed(void)
{
    const world_image &w = *ed.world, &c = ed.checked_world;
    if (ed.room == ed.checked_room && SAME_RECORDS(w.rooms, c.rooms) &&
        SAME_RECORDS(w.polygons, c.polygons) && SAME_RECORDS(w.objects, c.objects) &&
        w.messages == c.messages) {
        return;
    }
    check_room(w, ed.room, FINDING_WIDTH, ed.findings);
    ed.checked_world = w;
    ed.checked_room = ed.room;
}

// Everything shown from the world is taken afresh after each change.
static void refresh_all(void)
{
    refresh_texts();
    for (int b = 0; b < box_count; b++) {
        fill_box(boxes[b]);
        dialog[box_widget[b]].d2 = static_cast<int>(strlen(boxes[b].text));
    }
    hand_world_to_game(*ed.world);
    check_room_if_changed();
    collect_room_polygons();
    if (std::find(ed.room_polygons.begin(), ed.room_polygons.end(), ed.marks.polygon) ==
        ed.room_polygons.end()) {
        ed.marks.polygon = -1;
    }
    for (int i = 0; i < widget_count; i++) {
        const int shown = widget_mode[i] == MODE_ALL || widget_mode[i] == ed.mode;
        dialog[i].flags = shown ? dialog[i].flags & ~D_HIDDEN : dialog[i].flags | D_HIDDEN;
        if (widget_action[i] >= 0 && widget_action[i] < MODE_COUNT) {
            dialog[i].flags = widget_action[i] == ed.mode ? dialog[i].flags | D_SELECTED
                                                          : dialog[i].flags & ~D_SELECTED;
        }
    }
    ed.marks.show_polygons = ed.mode == MODE_POLY;
    ed.view_dirty = 1;
    // The findings list selects nothing; the bookmarks list the room shown.
    dialog[findings_widget].d1 = -1;
    const auto mark = std::find(ed.bookmarks.begin(), ed.bookmarks.end(), ed.room);
    dialog[bookmarks_widget].d1 =
        mark == ed.bookmarks.end() ? -1 : static_cast<int>(mark - ed.bookmarks.begin());
    list_seen[bookmarks_widget] = dialog[bookmarks_widget].d1;
    // Scrolled so the room shown is in view.
    const int rows = (dialog[bookmarks_widget].h - 4) / text_height(font);
    const int last_top = std::max(0, static_cast<int>(ed.bookmarks.size()) - rows);
    dialog[bookmarks_widget].d2 = std::clamp(dialog[bookmarks_widget].d1 - rows / 2, 0, last_top);
}

static void go_to(int room)
{
    if (room < 0 || room >= ROOM_COUNT) {
        set_status("No such room");
        return;
    }
    ed.room = room;
    ed.marks = view_marks{};
    char text[64];
    snprintf(text, sizeof text,
             room_is_defined(*ed.world, room) ? "Room %i"
                                              : "Room %i is an empty slot: New makes a room here",
             room);
    set_status(text);
}

// Applies a box whose text was changed since it was filled, so a value one
// box changes as a side effect (a limit when the size changes) is kept.
static int apply_box(const edit_box &box)
{
    world_image &w = *ed.world;
    int value = 0;
    if (strcmp(box.text, box.shown) == 0) {
        return EDIT_OK;
    }
    if (box.kind == BOX_CAPTION || box.kind == BOX_EXAMINE) {
        const int target = box.kind == BOX_CAPTION ? TEXT_CAPTION : TEXT_EXAMINE;
        const int id = target == TEXT_CAPTION ? ed.room : ed.marks.object;
        return edit_text(w, target, id) == box.text
                   ? EDIT_OK
                   : edit_set_text(w, ed.history, target, id, box.text);
    }
    const int read = box.kind == BOX_OBJECT ? sscanf(box.text, box.label, &value)
                                            : sscanf(box.text, "%i", &value);
    if (read != 1) {
        return EDIT_BAD_VALUE;
    }
    if (value == box_value(box)) {
        return EDIT_OK;
    }
    switch (box.kind) {
    case BOX_ROOM:
        return edit_room_field(w, ed.history, ed.room, box.field, value);
    case BOX_CELL:
        return edit_cell(w, ed.history, ed.room, ed.marks.cell_x, ed.marks.cell_y, box.field,
                         ed.level, value);
    case BOX_LEVEL:
        ed.level = std::clamp(value, 0, ROOM_LEVELS - 1);
        return EDIT_OK;
    case BOX_OBJECT:
        return edit_object_field(w, ed.history, ed.marks.object, box.field, value);
    case BOX_ROOM_ID:
        go_to(value);
        return EDIT_OK;
    }
    return EDIT_OK;
}

static void apply_mode_boxes(int mode)
{
    int result = EDIT_OK;
    for (int b = 0; b < box_count; b++) {
        if (boxes[b].mode == mode && boxes[b].kind != BOX_ROOM_ID) {
            const int r = apply_box(boxes[b]);
            result = r != EDIT_OK ? r : result;
        }
    }
    report_result(result);
}

// ---- Actions --------------------------------------------------------------

static void move_selected(int action)
{
    const int axis = (action - ACT_MOVE_X_DOWN) / 2;
    const int sign = (action - ACT_MOVE_X_DOWN) % 2 ? 1 : -1;
    const float step = ed.snap ? CELL_SIZE : 1;
    const world_object &o = ed.world->objects[static_cast<size_t>(std::max(ed.marks.object, 0))];
    const float at[3] = {o.x, o.y, o.z};
    float delta[3] = {0, 0, 0};
    delta[axis] =
        ed.snap && axis < 2 ? snap_to_cell(at[axis] + sign * step) - at[axis] : sign * step;
    report_result(
        edit_move_object(*ed.world, ed.history, ed.marks.object, delta[0], delta[1], delta[2]));
}

// Plays the room from the selected cell (or the room's middle) with the
// game's own loop; the world the editor holds is handed back afterwards.
static void try_room(void)
{
    const world_image &w = *ed.world;
    if (!room_is_defined(w, ed.room)) {
        report_result(EDIT_NO_ROOM);
        return;
    }
    const room_record &rec = w.rooms[static_cast<size_t>(ed.room)];
    const int cx = ed.marks.cell_x >= 0 ? ed.marks.cell_x : rec.size_x / 2;
    const int cy = ed.marks.cell_y >= 0 ? ed.marks.cell_y : rec.size_y / 2;
    const int size = object_defs[DEF_PLAYER].size_x;
    const int x = cx * CELL_SIZE + (CELL_SIZE - size) / 2;
    const int y = cy * CELL_SIZE + (CELL_SIZE - size) / 2;
    const int z =
        support_height(w, ed.room, DEF_PLAYER, static_cast<float>(x), static_cast<float>(y));
    hand_world_to_game(w);
    build_trigger_table();
    rearm_triggers();
    reset_sprites();
    show_mouse(nullptr);
    clear_to_color(screen, 0);
    forget_presented_view(); // the editor drew over the last try's picture
    clear_keybuf();
    tick_counter.store(0);
    run_game(ed.room, x, y, z);
    while (key[KEY_ESC]) {
        rest(1);
    }
    clear_keybuf();
    hand_world_to_game(w);
    show_mouse(screen);
    set_status("Back from the try; the world is as it was");
}

static void save_world(void)
{
    std::vector<std::string> errors;
    if (save_editor_world(*ed.paths, *ed.world, ed.saved, errors)) {
        // Saving recompiles the world: message and object numbers may move.
        clear_history(ed.history);
        ed.saved_done = 0;
        set_status("Saved the world files and the room texts");
    } else {
        for (const std::string &error : errors) {
            fprintf(stderr, "roomedit: %s\n", error.c_str());
        }
        set_status(errors.empty() ? "Save failed" : errors[0].c_str());
    }
}

// Bookmarks are kept in the game folder between sessions, one room a line;
// lines that are not a room are left out.
static const char BOOKMARKS_FILE[] = "roomedit-bookmarks.txt";

static void load_bookmarks(void)
{
    FILE *f = fopen(BOOKMARKS_FILE, "r");
    if (f == nullptr) {
        for (int room = 0; room < ROOM_COUNT; room++) {
            if (room_is_defined(*ed.world, room)) {
                ed.bookmarks.push_back(room);
            }
        }
        return;
    }
    char line[32];
    while (fgets(line, sizeof line, f) != nullptr) {
        int room = -1;
        if (sscanf(line, "%d", &room) == 1 && room >= 0 && room < ROOM_COUNT &&
            std::find(ed.bookmarks.begin(), ed.bookmarks.end(), room) == ed.bookmarks.end()) {
            ed.bookmarks.push_back(room);
        }
    }
    fclose(f);
    std::sort(ed.bookmarks.begin(), ed.bookmarks.end());
}

static void store_bookmarks(void)
{
    std::string text;
    for (int room : ed.bookmarks) {
        text += std::to_string(room) + "\n";
    }
    std::string error;
    if (!replace_files({{BOOKMARKS_FILE, text}}, error)) {
        set_status("Cannot write the bookmarks");
    }
}

static void toggle_bookmark(void)
{
    auto at = std::find(ed.bookmarks.begin(), ed.bookmarks.end(), ed.room);
    if (at == ed.bookmarks.end()) {
        ed.bookmarks.insert(std::upper_bound(ed.bookmarks.begin(), ed.bookmarks.end(), ed.room),
                            ed.room);
    } else {
        ed.bookmarks.erase(at);
    }
    store_bookmarks();
}

static void jump(int action)
{
    const world_image &w = *ed.world;
    if (action == ACT_JUMP_DOOR) {
        if (valid_selection() && object_field(w, ed.marks.object, OBJECT_DOOR_ROOM) >= 0) {
            go_to(object_field(w, ed.marks.object, OBJECT_DOOR_ROOM));
        } else {
            set_status("The selected object leads nowhere");
        }
    } else if (room_is_defined(w, ed.room) &&
               w.rooms[static_cast<size_t>(ed.room)].adjacent[action - ACT_JUMP_SW] != 0) {
        go_to(w.rooms[static_cast<size_t>(ed.room)].adjacent[action - ACT_JUMP_SW]);
    } else {
        set_status("No room beyond that side");
    }
}

static void run_object_action(int action)
{
    int id = -1, poly = -1;
    switch (action) {
    case ACT_DELETE:
        report_result(edit_delete_object(*ed.world, ed.history, ed.marks.object));
        break;
    case ACT_DUPLICATE:
        report_result(edit_duplicate_object(*ed.world, ed.history, ed.marks.object, &id));
        ed.marks.object = id >= 0 ? id : ed.marks.object;
        break;
    case ACT_POLY_NEW:
        report_result(edit_add_polygon(*ed.world, ed.history, ed.room, &poly));
        ed.marks.polygon = poly;
        break;
    case ACT_POLY_DELETE:
        report_result(edit_delete_polygon(*ed.world, ed.history, ed.marks.polygon));
        break;
    default:
        move_selected(action);
    }
}

static void run_action(int action)
{
    if (action >= 0 && action < MODE_COUNT) {
        ed.mode = action;
        return;
    }
    switch (action) {
    case ACT_UNDO:
        report_result(undo_step(*ed.world, ed.history));
        break;
    case ACT_REDO:
        report_result(redo_step(*ed.world, ed.history));
        break;
    case ACT_SAVE:
        save_world();
        break;
    case ACT_TRY:
        try_room();
        break;
    case ACT_GO:
        for (int b = 0; b < box_count; b++) {
            if (boxes[b].kind == BOX_ROOM_ID) {
                apply_box(boxes[b]);
            }
        }
        break;
    case ACT_QUIT:
        ed.quit = !editor_unsaved(*ed.world, ed.saved) ||
                  alert("Leave without saving?", nullptr, nullptr, "Leave", "Stay", 0, 0) == 1;
        break;
    case ACT_NEW_ROOM:
        report_result(edit_new_room(*ed.world, ed.history, ed.room));
        break;
    case ACT_APPLY:
        apply_mode_boxes(ed.mode);
        break;
    case ACT_MARK:
        toggle_bookmark();
        break;
    default:
        if (action >= ACT_JUMP_SW && action <= ACT_JUMP_DOOR) {
            jump(action);
        } else {
            run_object_action(action);
        }
    }
}

// ---- Widget procedures ------------------------------------------------------

static int action_button_proc(int msg, DIALOG *d, int c)
{
    const int result = d_button_proc(msg, d, c);
    if (result & D_CLOSE) {
        run_action(widget_action[d - dialog]);
        refresh_all();
        return (result & ~D_CLOSE) | D_REDRAW;
    }
    return result;
}

// An edit box applies its mode's boxes on Enter.
static int field_edit_proc(int msg, DIALOG *d, int c)
{
    if (msg == MSG_CHAR && ((c & 0xFF) == '\r' || (c & 0xFF) == '\n')) {
        run_action(widget_mode[d - dialog] == MODE_ALL ? ACT_GO : ACT_APPLY);
        refresh_all();
        return D_USED_CHAR | D_REDRAW;
    }
    return d_edit_proc(msg, d, c);
}

static int snap_check_proc(int msg, DIALOG *d, int c)
{
    const int result = d_check_proc(msg, d, c);
    ed.snap = (d->flags & D_SELECTED) != 0;
    return result;
}

static int escape_ignored(void)
{
    return D_O_K;
}

static int undo_key(void)
{
    run_action(ACT_UNDO);
    refresh_all();
    return D_REDRAW;
}

static int redo_key(void)
{
    run_action(ACT_REDO);
    refresh_all();
    return D_REDRAW;
}

// ---- Lists ------------------------------------------------------------------

static const char *definition_list(int index, int *size)
{
    static char line[48];
    if (index < 0) {
        *size = OBJECT_DEF_COUNT;
        return nullptr;
    }
    snprintf(line, sizeof line, "%3i %s", index, object_defs[index].name);
    return line;
}

static const char *findings_list(int index, int *size)
{
    if (index < 0) {
        *size = static_cast<int>(ed.findings.size());
        return nullptr;
    }
    return ed.findings[static_cast<size_t>(index)].c_str();
}

static const char *bookmark_list(int index, int *size)
{
    static char line[64];
    if (index < 0) {
        *size = static_cast<int>(ed.bookmarks.size());
        return nullptr;
    }
    const int room = ed.bookmarks[static_cast<size_t>(index)];
    snprintf(line, sizeof line, "%3i %s", room, edit_text(*ed.world, TEXT_CAPTION, room).c_str());
    return line;
}

static const char *polygon_list(int index, int *size)
{
    static char line[48];
    if (index < 0) {
        *size = static_cast<int>(ed.room_polygons.size());
        return nullptr;
    }
    const int poly = ed.room_polygons[static_cast<size_t>(index)];
    snprintf(line, sizeof line, "polygon %i, %i points", poly,
             ed.world->polygons[static_cast<size_t>(poly)].point_count);
    return line;
}

static void list_changed(DIALOG *d)
{
    const void *getter = d->dp;
    if (d->d1 < 0) {
        return;
    }
    if (getter == reinterpret_cast<void *>(bookmark_list) &&
        d->d1 < static_cast<int>(ed.bookmarks.size())) {
        go_to(ed.bookmarks[static_cast<size_t>(d->d1)]);
    } else if (getter == reinterpret_cast<void *>(polygon_list) &&
               d->d1 < static_cast<int>(ed.room_polygons.size())) {
        ed.marks.polygon = ed.room_polygons[static_cast<size_t>(d->d1)];
    }
}

// A list that acts when its selection changes.
static int watched_list_proc(int msg, DIALOG *d, int c)
{
    const int i = static_cast<int>(d - dialog);
    const int result = d_list_proc(msg, d, c);
    if ((msg == MSG_CLICK || msg == MSG_CHAR) && d->d1 != list_seen[i]) {
        list_seen[i] = d->d1;
        list_changed(d);
        refresh_all();
        return result | D_REDRAW;
    }
    return result;
}

static int chosen_definition(void)
{
    return std::clamp(dialog[definition_widget].d1, 0, OBJECT_DEF_COUNT - 1);
}

// The selected definition's first picture, its number, name and size.
static int definition_picture_proc(int msg, DIALOG *d, int)
{
    if (msg != MSG_DRAW) {
        return D_O_K;
    }
    rectfill(screen, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, makecol(24, 24, 32));
    const object_def &o = object_defs[chosen_definition()];
    BITMAP *image = datafile_bitmap(custom_datafile, o.frames[0]);
    if (image != nullptr) {
        // Tall pictures are shown unenlarged, and never past the box.
        const int scale = image->h * VIEW_ZOOM <= d->h - 8 ? VIEW_ZOOM : 1;
        set_clip_rect(screen, d->x, d->y, d->x + d->w / 2 - 1, d->y + d->h - 1);
        masked_stretch_blit(image, screen, 0, 0, image->w, image->h, d->x + 4, d->y + 4,
                            image->w * scale, image->h * scale);
        set_clip_rect(screen, 0, 0, SCREEN_W - 1, SCREEN_H - 1);
    }
    textprintf_ex(screen, font, d->x + d->w / 2, d->y + 4, gui_fg_color, -1, "%s", o.name);
    textprintf_ex(screen, font, d->x + d->w / 2, d->y + 16, gui_fg_color, -1, "%i x %i x %i",
                  o.size_x, o.size_y, o.size_z);
    return D_O_K;
}

// ---- The view ---------------------------------------------------------------

static void draw_view(DIALOG *d)
{
    if (ed.view_dirty) {
        // The linter builds rooms in the game's tables; the view starts anew.
        hand_world_to_game(*ed.world);
        if (!draw_room_view(*ed.world, ed.room)) {
            textprintf_centre_ex(
                backbuffer, font, VIEW_W / 2, VIEW_H / 2, makecol(200, 200, 200), -1,
                room_is_defined(*ed.world, ed.room) ? "Room %i holds more sprites than fit"
                                                    : "Room %i is an empty slot",
                ed.room);
        }
        stretch_blit(backbuffer, view_cache, 0, 0, VIEW_W, VIEW_H, 0, 0, view_cache->w,
                     view_cache->h);
        ed.view_dirty = 0;
    }
    blit(view_cache, screen, 0, 0, d->x, d->y, d->w, d->h);
    // Each mode marks what it edits: the cell, the object or the polygons.
    view_marks marks = ed.marks;
    if (ed.mode != MODE_BUILD) {
        marks.cell_x = marks.cell_y = -1;
    }
    if (ed.mode == MODE_BUILD || ed.mode == MODE_POLY) {
        marks.object = -1;
    }
    draw_view_marks(screen, d->x, d->y, *ed.world, ed.room, marks);
}

// A click in Objects mode places the chosen definition, centred on the
// point of the floor under the cursor, on whatever lies there.
static void place_at(int vx, int vy)
{
    const world_image &w = *ed.world;
    int cx, cy, x, y;
    if (!cell_at(w, ed.room, vx, vy, &cx, &cy)) {
        set_status("Click on the floor of the room");
        return;
    }
    const int def = chosen_definition();
    view_to_floor(w, ed.room, vx, vy, w.rooms[static_cast<size_t>(ed.room)].floor_height[cx][cy],
                  &x, &y);
    const object_def &o = object_defs[std::clamp(def, 0, OBJECT_DEF_COUNT - 1)];
    int id = -1;
    report_result(edit_place_object(*ed.world, ed.history, ed.room, def,
                                    std::max(0, x - o.size_x / 2), std::max(0, y - o.size_y / 2),
                                    &id));
    ed.marks.object = id >= 0 ? id : ed.marks.object;
}

// The point of the selected polygon near a view pixel, or -1.
static int point_near(int vx, int vy)
{
    if (ed.marks.polygon < 0) {
        return -1;
    }
    const polygon_record &p = ed.world->polygons[static_cast<size_t>(ed.marks.polygon)];
    for (int i = 0; i < std::min<int>(p.point_count, POLYGON_MAX_POINTS); i++) {
        if (abs(p.points[i * 2] - vx) <= POINT_REACH &&
            abs(p.points[i * 2 + 1] - vy) <= POINT_REACH) {
            return i;
        }
    }
    return -1;
}

static void poly_click(DIALOG *d, int vx, int vy)
{
    if (ed.marks.polygon < 0) {
        report_result(edit_add_polygon(*ed.world, ed.history, ed.room, &ed.marks.polygon));
    }
    const int point = point_near(vx, vy);
    if (point >= 0 && (mouse_b & 2)) {
        report_result(edit_delete_point(*ed.world, ed.history, ed.marks.polygon, point));
    } else if (point >= 0) {
        while (mouse_b & 1) {
            rest(5);
        }
        const int tx = (mouse_x - d->x) / VIEW_ZOOM, ty = (mouse_y - d->y) / VIEW_ZOOM;
        report_result(edit_move_point(*ed.world, ed.history, ed.marks.polygon, point, tx, ty));
    } else {
        report_result(edit_add_point(*ed.world, ed.history, ed.marks.polygon, vx, vy));
    }
}

static void view_click(DIALOG *d)
{
    const int vx = (mouse_x - d->x) / VIEW_ZOOM, vy = (mouse_y - d->y) / VIEW_ZOOM;
    int cx, cy;
    switch (ed.mode) {
    case MODE_BUILD:
        if (cell_at(*ed.world, ed.room, vx, vy, &cx, &cy)) {
            ed.marks.cell_x = cx;
            ed.marks.cell_y = cy;
        }
        break;
    case MODE_OBJECTS:
        if (mouse_b & 2) {
            ed.marks.object = object_at(vx, vy);
        } else {
            place_at(vx, vy);
        }
        break;
    case MODE_POLY:
        poly_click(d, vx, vy);
        break;
    default:
        ed.marks.object = object_at(vx, vy);
    }
    while (mouse_b) {
        rest(5);
    }
}

// Arrows step the selected cell along x and y, as the player walks.
static int move_cell(int scancode)
{
    static const int steps[][3] = {
        {KEY_LEFT, 1, 0}, {KEY_RIGHT, -1, 0}, {KEY_UP, 0, 1}, {KEY_DOWN, 0, -1}};
    if (!room_is_defined(*ed.world, ed.room)) {
        return 0;
    }
    const room_record &rec = ed.world->rooms[static_cast<size_t>(ed.room)];
    for (const auto &step : steps) {
        if (step[0] == scancode) {
            ed.marks.cell_x = std::clamp(ed.marks.cell_x + step[1], 0, rec.size_x - 1);
            ed.marks.cell_y = std::clamp(ed.marks.cell_y + step[2], 0, rec.size_y - 1);
            return 1;
        }
    }
    return 0;
}

// Keys on the view: arrows and Page Up/Down move the selected cell's height
// or the selected object; Delete removes the object.
static int view_key(int scancode)
{
    static const int moves[][2] = {
        {KEY_LEFT, ACT_MOVE_X_DOWN + 1}, {KEY_RIGHT, ACT_MOVE_X_DOWN},
        {KEY_UP, ACT_MOVE_X_DOWN + 3},   {KEY_DOWN, ACT_MOVE_X_DOWN + 2},
        {KEY_PGUP, ACT_MOVE_X_DOWN + 5}, {KEY_PGDN, ACT_MOVE_X_DOWN + 4}};
    if (scancode == KEY_DEL) {
        run_action(ACT_DELETE);
        return 1;
    }
    if (ed.mode == MODE_BUILD && move_cell(scancode)) {
        return 1;
    }
    if (ed.mode == MODE_BUILD && (scancode == KEY_PGUP || scancode == KEY_PGDN)) {
        const int h =
            cell_field(*ed.world, ed.room, ed.marks.cell_x, ed.marks.cell_y, CELL_HEIGHT, 0);
        report_result(edit_cell(*ed.world, ed.history, ed.room, ed.marks.cell_x, ed.marks.cell_y,
                                CELL_HEIGHT, 0, h + (scancode == KEY_PGUP ? 1 : -1)));
        return 1;
    }
    for (const auto &move : moves) {
        if (move[0] == scancode && ed.mode != MODE_BUILD) {
            run_action(move[1]);
            return 1;
        }
    }
    return 0;
}

static int room_view_proc(int msg, DIALOG *d, int c)
{
    switch (msg) {
    case MSG_DRAW:
        draw_view(d);
        return D_O_K;
    case MSG_WANTFOCUS:
        return D_WANTFOCUS;
    case MSG_CLICK:
        view_click(d);
        refresh_all();
        return D_REDRAW;
    case MSG_CHAR:
        if (view_key(c >> 8)) {
            refresh_all();
            return D_USED_CHAR | D_REDRAW;
        }
        return D_O_K;
    }
    return D_O_K;
}

// ---- Building the dialog ----------------------------------------------------

static void build_top_bar(void)
{
    static char room_label[] = "Room";
    static const char *const labels[] = {"Undo", "Redo", "Save", "Try"};
    int x = VIEW_X;
    for (int m = 0; m < MODE_COUNT; m++) {
        add_widget(action_button_proc, x, BAR_Y, 74, BUTTON_H, MODE_ALL,
                   const_cast<char *>(MODE_LABELS[m]), m, D_EXIT);
        x += 78;
    }
    x += 8;
    for (int i = 0; i < static_cast<int>(std::size(labels)); i++) {
        add_widget(action_button_proc, x, BAR_Y, 52, BUTTON_H, MODE_ALL,
                   const_cast<char *>(labels[i]), ACT_UNDO + i, D_EXIT);
        x += 56;
    }
    add_widget(d_text_proc, x + 8, BAR_Y + 6, 32, 8, MODE_ALL, room_label);
    add_box(BOX_ROOM_ID, 0, nullptr, MODE_ALL, x + 44, BAR_Y + 2, 32);
    add_widget(action_button_proc, x + 82, BAR_Y, 32, BUTTON_H, MODE_ALL, const_cast<char *>("Go"),
               ACT_GO, D_EXIT);
    add_widget(action_button_proc, EDITOR_W - 56, BAR_Y, 50, BUTTON_H, MODE_ALL,
               const_cast<char *>("Quit"), ACT_QUIT, D_EXIT);
}

static void add_button(const char *label, int action, int mode, int x, int y, int w = 60)
{
    add_widget(action_button_proc, x, y, w, BUTTON_H, mode, const_cast<char *>(label), action,
               D_EXIT);
}

static void build_build_panel(void)
{
    static const char *const room_labels[] = {"Size X",   "Size Y",   "Ceiling",  "Light",
                                              "Limit SW", "Limit NW", "Limit NE", "Limit SE",
                                              "Backcol",  "Outside",  "Origin X", "Origin Y"};
    static const int room_fields[] = {ROOM_SIZE_X,   ROOM_SIZE_Y,   ROOM_CEILING,  ROOM_LIGHT,
                                      ROOM_LIMIT_SW, ROOM_LIMIT_NW, ROOM_LIMIT_NE, ROOM_LIMIT_SE,
                                      ROOM_BACKCOL,  ROOM_OUTSIDE,  ROOM_ORIGIN_X, ROOM_ORIGIN_Y};
    int y = VIEW_Y;
    for (int i = 0; i < static_cast<int>(std::size(room_fields)); i++) {
        const int x = PANEL_X + (i % 2) * (PANEL_W / 2);
        add_box(BOX_ROOM, room_fields[i], room_labels[i], MODE_BUILD, x, y, 40);
        y += i % 2 ? ROW_H : 0;
    }
    add_widget(d_text_proc, PANEL_X, y + 4, 24, 8, MODE_BUILD, const_cast<char *>("Adj"));
    for (int side = 0; side < SIDE_COUNT; side++) {
        add_box(BOX_ROOM, ROOM_ADJ_SW + side, nullptr, MODE_BUILD, PANEL_X + 32 + side * 44, y, 36);
    }
    y += ROW_H + 4;
    add_button("New", ACT_NEW_ROOM, MODE_BUILD, PANEL_X, y);
    add_button("Set", ACT_APPLY, MODE_BUILD, PANEL_X + 70, y);
    y += BUTTON_H + 8;
    add_widget(d_text_proc, PANEL_X, y + 4, 100, 8, MODE_BUILD, cell_text);
    add_box(BOX_LEVEL, 0, "Level", MODE_BUILD, PANEL_X + PANEL_W / 2, y, 40);
    y += ROW_H;
    static const char *const cell_labels[] = {"Height", "Tile", "Left", "Right"};
    for (int f = 0; f < CELL_FIELD_COUNT; f++) {
        add_box(BOX_CELL, f, cell_labels[f], MODE_BUILD, PANEL_X + (f % 2) * (PANEL_W / 2), y, 40);
        y += f % 2 ? ROW_H : 0;
    }
}

static void build_objects_panel(void)
{
    add_button("Delete", ACT_DELETE, MODE_OBJECTS, PANEL_X, VIEW_Y + 206, 70);
    add_button("Duplicate", ACT_DUPLICATE, MODE_OBJECTS, PANEL_X + 76, VIEW_Y + 206, 90);
    add_widget(definition_picture_proc, PANEL_X, VIEW_Y + 230, PANEL_W, 70, MODE_OBJECTS, nullptr);
    definition_widget =
        add_widget(watched_list_proc, PANEL_X, VIEW_Y, PANEL_W, 200, MODE_OBJECTS,
                   reinterpret_cast<void *>(definition_list), ACT_NONE, 0, DEF_BARREL_ROW);
}

static void build_position_panel(void)
{
    static const char *const labels[] = {"X-", "X+", "Y-", "Y+", "Z-", "Z+"};
    for (int i = 0; i < static_cast<int>(std::size(labels)); i++) {
        add_button(labels[i], ACT_MOVE_X_DOWN + i, MODE_POSITION,
                   PANEL_X + (i / 2) * 90 + (i % 2) * 42, VIEW_Y, 38);
    }
    add_widget(snap_check_proc, PANEL_X, VIEW_Y + 28, 140, 14, MODE_POSITION, snap_label);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 50, PANEL_W, 8, MODE_POSITION, position_text);
}

static void build_props_panel(void)
{
    static const char *const formats[OBJECT_FIELD_COUNT] = {
        "door=%i",        "door room=%i", "door x=%i",       "door y=%i",
        "door z=%i",      "door key=%i",  "examine text=%i", "visible=%i",
        "transparent=%i", "frame=%i",     "room part=%i"};
    for (int f = 0; f < OBJECT_FIELD_COUNT; f++) {
        add_box(BOX_OBJECT, f, formats[f], MODE_PROPS, PANEL_X, VIEW_Y + f * ROW_H, 160);
    }
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 12 * ROW_H, PANEL_W, 8, MODE_PROPS, position_text);
    add_button("Set", ACT_APPLY, MODE_PROPS, PANEL_X, VIEW_Y + 13 * ROW_H);
}

static void build_desc_panel(void)
{
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 4, 80, 8, MODE_DESC, const_cast<char *>("Caption"));
    add_box(BOX_CAPTION, 0, nullptr, MODE_DESC, PANEL_X, VIEW_Y + 16, PANEL_W);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 40, 120, 8, MODE_DESC,
               const_cast<char *>("Examine text"));
    add_widget(d_text_proc, PANEL_X + 110, VIEW_Y + 40, PANEL_W - 110, 8, MODE_DESC, position_text);
    add_box(BOX_EXAMINE, 0, nullptr, MODE_DESC, PANEL_X, VIEW_Y + 52, PANEL_W);
    add_button("Set", ACT_APPLY, MODE_DESC, PANEL_X, VIEW_Y + 76);
}

static void build_poly_panel(void)
{
    add_widget(watched_list_proc, PANEL_X, VIEW_Y, PANEL_W, 120, MODE_POLY,
               reinterpret_cast<void *>(polygon_list));
    add_button("New", ACT_POLY_NEW, MODE_POLY, PANEL_X, VIEW_Y + 126);
    add_button("Delete", ACT_POLY_DELETE, MODE_POLY, PANEL_X + 66, VIEW_Y + 126);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 154, PANEL_W, 8, MODE_POLY,
               const_cast<char *>("Click adds a point, drag moves one,"));
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 166, PANEL_W, 8, MODE_POLY,
               const_cast<char *>("right click deletes one."));
}

static void build_common_panel(void)
{
    static const char *const jumps[] = {"SW", "NW", "NE", "SE", "Door", "Mark"};
    const int y = VIEW_Y + 300;
    add_widget(d_text_proc, PANEL_X, y, 80, 8, MODE_ALL, const_cast<char *>("Findings"));
    findings_widget = add_widget(d_list_proc, PANEL_X, y + 10, PANEL_W, 84, MODE_ALL,
                                 reinterpret_cast<void *>(findings_list));
    add_widget(d_text_proc, PANEL_X, y + 100, 80, 8, MODE_ALL, const_cast<char *>("Bookmarks"));
    bookmarks_widget = add_widget(watched_list_proc, PANEL_X, y + 110, 200, 84, MODE_ALL,
                                  reinterpret_cast<void *>(bookmark_list));
    for (int i = 0; i < static_cast<int>(std::size(jumps)); i++) {
        add_button(jumps[i], ACT_JUMP_SW + i, MODE_ALL, PANEL_X + 206 + (i % 2) * 70,
                   y + 110 + (i / 2) * 28, 64);
    }
    add_widget(d_text_proc, VIEW_X, STATUS_Y, EDITOR_W - 8, 8, MODE_ALL, ed.status);
}

static void build_dialog(void)
{
    widget_count = box_count = 0;
    add_widget(d_clear_proc, 0, 0, EDITOR_W, EDITOR_H, MODE_ALL, nullptr);
    add_widget(d_keyboard_proc, 0, 0, 0, 0, MODE_ALL, reinterpret_cast<void *>(escape_ignored),
               ACT_NONE, 0, ASCII_ESCAPE);
    add_widget(d_keyboard_proc, 0, 0, 0, 0, MODE_ALL, reinterpret_cast<void *>(undo_key), ACT_NONE,
               0, ASCII_CTRL_Z);
    add_widget(d_keyboard_proc, 0, 0, 0, 0, MODE_ALL, reinterpret_cast<void *>(redo_key), ACT_NONE,
               0, ASCII_CTRL_Y);
    add_widget(room_view_proc, VIEW_X, VIEW_Y, VIEW_W * VIEW_ZOOM, VIEW_H * VIEW_ZOOM, MODE_ALL,
               nullptr);
    build_top_bar();
    build_build_panel();
    build_position_panel();
    build_props_panel();
    build_desc_panel();
    build_poly_panel();
    build_common_panel();
    build_objects_panel();
    dialog[widget_count] = {};
    for (int i = 0; i < widget_count; i++) {
        list_seen[i] = dialog[i].d1;
    }
}

void run_editor(const editor_paths &paths, world_image &world, int first_room)
{
    ed.paths = &paths;
    ed.world = &world;
    take_saved_texts(world, ed.saved);
    load_bookmarks();
    gui_fg_color = makecol(230, 230, 230);
    gui_mg_color = makecol(128, 128, 128);
    gui_bg_color = makecol(40, 40, 52);
    view_cache = create_bitmap(VIEW_W * VIEW_ZOOM, VIEW_H * VIEW_ZOOM);
    build_dialog();
    go_to(first_room);
    refresh_all();
    show_mouse(screen);
    DIALOG_PLAYER *player = init_dialog(dialog, -1);
    while (!ed.quit && update_dialog(player)) {
        if (close_requested) {
            // The window's close button asks like Quit does.
            close_requested = 0;
            run_action(ACT_QUIT);
            refresh_all();
            broadcast_dialog_message(MSG_DRAW, 0);
        }
        rest(1);
    }
    shutdown_dialog(player);
    show_mouse(nullptr);
    destroy_bitmap(view_cache);
}
