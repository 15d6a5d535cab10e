// The room editor's dialog. One table holds the modes: each row names the
// button, builds the mode's panel, handles a click in the room and the keys,
// and says what the view marks. Every widget is an Allegro GUI object; the
// buttons, fields, lists and the view call the editing operations and then
// refresh the fields, the findings and the view from the world tables.
#include "editor_gui.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "edit_ops.h"
#include "editor_bookmarks.h"
#include "editor_try.h"
#include "editor_view.h"
#include "game/game_loop.h"
#include "room_checks.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world_compile.h"

// ---- The modes --------------------------------------------------------------

struct editor_mode {
    const char *label;
    const char *help; // one line of --help
    void (*build_panel)(int mode);
    void (*click)(DIALOG *view, int vx, int vy, int right);
    int (*key)(int scancode); // 1 when the key was used
    void (*marks)(view_marks &marks);
};

static void build_build_panel(int mode);
static void build_objects_panel(int mode);
static void build_position_panel(int mode);
static void build_props_panel(int mode);
static void build_desc_panel(int mode);
static void build_poly_panel(int mode);
static void build_click(DIALOG *view, int vx, int vy, int right);
static void objects_click(DIALOG *view, int vx, int vy, int right);
static void select_click(DIALOG *view, int vx, int vy, int right);
static void poly_click(DIALOG *view, int vx, int vy, int right);
static int build_key(int scancode);
static int object_key(int scancode);
static int no_key(int scancode);
static void cell_marks(view_marks &marks);
static void object_marks(view_marks &marks);
static void polygon_marks(view_marks &marks);

// The buttons over the room, in this order; a mode's action id is its row.
static const editor_mode MODES[] = {
    {"Build",
     "a click picks the cell whose floor or side face is seen there; fields for the room and the "
     "cell; Wall raises the cell into a wall",
     build_build_panel, build_click, build_key, cell_marks},
    {"Objects",
     "a click puts the chosen definition on what is seen there, or hangs it on the wall face; "
     "right click selects; Find filters the palette",
     build_objects_panel, objects_click, object_key, object_marks},
    {"Position", "a click selects the object drawn there; X-/X+/Y-/Y+/Z-/Z+ move it",
     build_position_panel, select_click, object_key, object_marks},
    {"Props", "a click selects an object; its door, examine text and drawing fields",
     build_props_panel, select_click, object_key, object_marks},
    {"Desc", "a click selects an object; the room's caption and the object's examine text",
     build_desc_panel, select_click, object_key, object_marks},
    {"Poly", "a click adds a polygon point, a drag moves one, a right click deletes one",
     build_poly_panel, poly_click, no_key, polygon_marks},
};
constexpr int MODE_COUNT = static_cast<int>(std::size(MODES));
constexpr int MODE_BUILD = 0;
constexpr int MODE_ALL = -1; // widgets shown in every mode

// Actions of the other buttons, numbered after the modes.
constexpr int ACT_NONE = -1;
constexpr int ACT_UNDO = MODE_COUNT;
constexpr int ACT_REDO = ACT_UNDO + 1;
constexpr int ACT_SAVE = ACT_UNDO + 2;
constexpr int ACT_TRY = ACT_UNDO + 3;
constexpr int ACT_GO = ACT_UNDO + 4;
constexpr int ACT_NEW_ROOM = ACT_UNDO + 5;
constexpr int ACT_QUIT = ACT_UNDO + 6;
constexpr int ACT_APPLY = ACT_UNDO + 7;
constexpr int ACT_DELETE = ACT_UNDO + 8;
constexpr int ACT_DUPLICATE = ACT_UNDO + 9;
constexpr int ACT_POLY_NEW = ACT_UNDO + 10;
constexpr int ACT_POLY_DELETE = ACT_UNDO + 11;
constexpr int ACT_MARK = ACT_UNDO + 12;
constexpr int ACT_JUMP_DOOR = ACT_UNDO + 13;
constexpr int ACT_WALL = ACT_UNDO + 14;
constexpr int ACT_JUMP_SW = ACT_UNDO + 15;       // four jumps, in side order
constexpr int ACT_MOVE_X_DOWN = ACT_JUMP_SW + 4; // six moves: x-, x+, y-, y+, z-, z+
constexpr int ACT_STEP_COUNT = 6;

// What an edit field shows and changes.
constexpr int BOX_ROOM = 0;    // a room field
constexpr int BOX_CELL = 1;    // a field of the selected cell at the level
constexpr int BOX_LEVEL = 2;   // the level the cell fields show
constexpr int BOX_OBJECT = 3;  // a world object field
constexpr int BOX_CAPTION = 4; // the room's caption
constexpr int BOX_EXAMINE = 5; // the selected object's examine text
constexpr int BOX_ROOM_ID = 6; // the room to go to or make
constexpr int BOX_SEARCH = 7;  // part of a definition's name

constexpr int TEXT_BOX = MAX_TEXT_LENGTH + 1;
constexpr int MAX_WIDGETS = 160;
constexpr int MAX_BOXES = 48;
constexpr int BAR_Y = 2;
constexpr int BUTTON_H = 20;
constexpr int MODE_BUTTON_W = 74;
constexpr int MODE_BUTTON_STEP = 78;
constexpr int VIEW_X = 4;
constexpr int VIEW_Y = 28;
constexpr int PANEL_X = 656;
constexpr int PANEL_W = EDITOR_W - PANEL_X - 6;
constexpr int ROW_H = 18;
constexpr int CHAR_W = 8;
constexpr int NUMBER_W = 40;
constexpr int STATUS_Y = EDITOR_H - 16;
constexpr int POINT_REACH = 4; // view pixels within which a click takes a polygon point
constexpr int ASCII_ESCAPE = 27;
constexpr int ASCII_CTRL_Y = 25;
constexpr int ASCII_CTRL_Z = 26;
constexpr int ASCII_BACKSPACE = 8;
constexpr int FINDING_WIDTH = 42;     // characters of a findings line
constexpr int PALETTE_START_DEF = 50; // the palette opens on a barrel
constexpr int LIST_ROW_Y = 2;         // the library's list rows start below the frame
constexpr int SCROLL_BAR_W = 12;

struct edit_box {
    int kind;
    int field;
    int mode;
    int label_widget; // -1 when the field has no label of its own
    char text[TEXT_BOX];
    char shown[TEXT_BOX]; // the text as last filled from the world
};

struct editor_state {
    const editor_paths *paths;
    world_image *world;
    edit_history history;
    saved_texts saved;
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
    std::vector<int> palette; // definitions whose name holds the search text
    char status[TEXT_BOX];
};

static editor_state ed;
static DIALOG dialog[MAX_WIDGETS];
static DIALOG_PLAYER *player = nullptr;
static int widget_mode[MAX_WIDGETS];
static int widget_action[MAX_WIDGETS];
static int widget_box[MAX_WIDGETS]; // the field a widget edits or labels, or -1
static int widget_count = 0;
static edit_box boxes[MAX_BOXES];
static int box_widget[MAX_BOXES];
static int box_count = 0;
static int whole_selected[MAX_BOXES]; // typing replaces the whole value
static int list_seen[MAX_WIDGETS];    // a list's selection when last looked at
static BITMAP *view_cache = nullptr;
static int definition_widget = -1; // the Objects mode's palette
static int picture_widget = -1;    // and the chosen definition's picture
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
    widget_box[i] = -1;
    return i;
}

static int number_field_proc(int msg, DIALOG *d, int c);
static int text_field_proc(int msg, DIALOG *d, int c);
static int field_label_proc(int msg, DIALOG *d, int c);

static int is_number_box(int kind)
{
    return kind != BOX_CAPTION && kind != BOX_EXAMINE && kind != BOX_SEARCH;
}

// A field: its label (clicking it selects the whole value), then the field.
static int add_box(int kind, int field, const char *label, int mode, int x, int y, int w)
{
    const int b = box_count++;
    boxes[b] = {kind, field, mode, -1, "", ""};
    int edit_x = x;
    if (label != nullptr) {
        const int label_w = CHAR_W * static_cast<int>(strlen(label));
        boxes[b].label_widget =
            add_widget(field_label_proc, x, y + 4, label_w, 8, mode, const_cast<char *>(label));
        widget_box[boxes[b].label_widget] = b;
        edit_x = x + label_w + 4;
    }
    box_widget[b] = add_widget(is_number_box(kind) ? number_field_proc : text_field_proc, edit_x,
                               y + 2, w, 12, mode, boxes[b].text, ACT_NONE, 0, TEXT_BOX - 1);
    widget_box[box_widget[b]] = b;
    dialog[box_widget[b]].bg = makecol(20, 20, 28); // a field reads as a field
    return b;
}

static int action_button_proc(int msg, DIALOG *d, int c);

static void add_button(const char *label, int action, int mode, int x, int y, int w = 60)
{
    add_widget(action_button_proc, x, y, w, BUTTON_H, mode, const_cast<char *>(label), action,
               D_EXIT);
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

static void box_range(const edit_box &box, int *low, int *high)
{
    switch (box.kind) {
    case BOX_ROOM:
        room_field_range(box.field, low, high);
        return;
    case BOX_CELL:
        cell_field_range(box.field, low, high);
        return;
    case BOX_OBJECT:
        object_field_range(*ed.world, box.field, low, high);
        return;
    case BOX_LEVEL:
        *low = 0;
        *high = ROOM_LEVELS - 1;
        return;
    }
    *low = 0;
    *high = ROOM_COUNT - 1;
}

static void fill_box(edit_box &box)
{
    if (box.kind == BOX_CAPTION) {
        snprintf(box.text, TEXT_BOX, "%s", edit_text(*ed.world, TEXT_CAPTION, ed.room).c_str());
    } else if (box.kind == BOX_EXAMINE) {
        snprintf(box.text, TEXT_BOX, "%s",
                 edit_text(*ed.world, TEXT_EXAMINE, ed.marks.object).c_str());
    } else if (box.kind != BOX_SEARCH) {
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

// The palette keeps the definitions whose name holds the search text, in
// any case; the chosen one stays chosen when it still matches.
static void filter_palette(const char *search)
{
    const int chosen =
        ed.palette.empty()
            ? PALETTE_START_DEF
            : ed.palette[static_cast<size_t>(std::clamp(dialog[definition_widget].d1, 0,
                                                        static_cast<int>(ed.palette.size()) - 1))];
    std::string want = search;
    for (char &ch : want) {
        ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    }
    ed.palette.clear();
    for (int def = DEF_PLAYER + 1; def < OBJECT_DEF_COUNT; def++) {
        std::string name = object_defs[def].name;
        for (char &ch : name) {
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        }
        if (name.find(want) != std::string::npos || std::to_string(def) == want) {
            ed.palette.push_back(def);
        }
    }
    const auto at = std::find(ed.palette.begin(), ed.palette.end(), chosen);
    dialog[definition_widget].d1 =
        at == ed.palette.end() ? 0 : static_cast<int>(at - ed.palette.begin());
    dialog[definition_widget].d2 = std::max(0, dialog[definition_widget].d1 - 4);
    list_seen[definition_widget] = dialog[definition_widget].d1;
}

static int chosen_definition(void)
{
    if (ed.palette.empty()) {
        return -1;
    }
    const int row =
        std::clamp(dialog[definition_widget].d1, 0, static_cast<int>(ed.palette.size()) - 1);
    return ed.palette[static_cast<size_t>(row)];
}

static void refresh_texts(void)
{
    const world_image &w = *ed.world;
    if (valid_selection()) {
        const world_object &o = w.objects[static_cast<size_t>(ed.marks.object)];
        snprintf(position_text, sizeof position_text, "%s %i at x=%g y=%g z=%g",
                 object_defs[std::clamp(o.obj_def, 0, OBJECT_DEF_COUNT - 1)].name, ed.marks.object,
                 static_cast<double>(o.x), static_cast<double>(o.y), static_cast<double>(o.z));
    } else {
        ed.marks.object = -1;
        snprintf(position_text, sizeof position_text, "no object selected");
    }
    snprintf(cell_text, sizeof cell_text, "Cell %i,%i", ed.marks.cell_x, ed.marks.cell_y);
}

// Two tables of plain records hold the same bytes.
#define SAME_RECORDS(a, b)                                                                         \
    ((a).size() == (b).size() && memcmp((a).data(), (b).data(), (a).size() * sizeof((a)[0])) == 0)

// The findings are made again only when the world or the room shown has
// changed, so switching modes or selecting stays quick.
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

static void show_mode_widgets(void)
{
    for (int i = 0; i < widget_count; i++) {
        const int shown = widget_mode[i] == MODE_ALL || widget_mode[i] == ed.mode;
        dialog[i].flags = shown ? dialog[i].flags & ~D_HIDDEN : dialog[i].flags | D_HIDDEN;
        if (widget_action[i] >= 0 && widget_action[i] < MODE_COUNT) {
            dialog[i].flags = widget_action[i] == ed.mode ? dialog[i].flags | D_SELECTED
                                                          : dialog[i].flags & ~D_SELECTED;
        }
    }
}

// The bookmarks list selects the room shown and scrolls it into view.
static void show_room_in_bookmarks(void)
{
    DIALOG &list = dialog[bookmarks_widget];
    const auto mark = std::find(ed.bookmarks.begin(), ed.bookmarks.end(), ed.room);
    list.d1 = mark == ed.bookmarks.end() ? -1 : static_cast<int>(mark - ed.bookmarks.begin());
    list_seen[bookmarks_widget] = list.d1;
    const int rows = (list.h - 4) / text_height(font);
    const int last_top = std::max(0, static_cast<int>(ed.bookmarks.size()) - rows);
    list.d2 = std::clamp(list.d1 - rows / 2, 0, last_top);
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
    show_mode_widgets();
    ed.view_dirty = 1;
    dialog[findings_widget].d1 = -1; // the findings list selects nothing
    show_room_in_bookmarks();
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
    snprintf(text, sizeof text, "Room %i", room);
    set_status(text);
}

// Makes room (when it is free) and goes there.
static void make_room(int room)
{
    const int result = edit_create_room(*ed.world, ed.history, room);
    if (result != EDIT_OK) {
        report_result(result);
        return;
    }
    go_to(room);
    if (std::find(ed.bookmarks.begin(), ed.bookmarks.end(), room) == ed.bookmarks.end()) {
        toggle_bookmark(ed.bookmarks, room);
    }
    char text[96];
    snprintf(text, sizeof text, "Made room %i: give it a caption in Desc", room);
    set_status(text);
}

static int typed_room(void)
{
    for (int b = 0; b < box_count; b++) {
        if (boxes[b].kind == BOX_ROOM_ID) {
            return strcmp(boxes[b].text, boxes[b].shown) == 0 ? ed.room : atoi(boxes[b].text);
        }
    }
    return ed.room;
}

// New makes the room typed in the Room field when that slot is free, or
// else the first free one; it never changes a room that has a record.
static void new_room(void)
{
    const int typed = typed_room();
    const int room =
        typed >= FIRST_CONTENT_ROOM && typed < ROOM_COUNT && !room_is_defined(*ed.world, typed)
            ? typed
            : first_free_room(*ed.world);
    if (room < 0) {
        set_status("Every room slot is in use");
        return;
    }
    make_room(room);
}

static void go_to_typed_room(void)
{
    const int room = typed_room();
    if (room < 0 || room >= ROOM_COUNT) {
        set_status("Room numbers run from 0 to 399");
        return;
    }
    if (room_is_defined(*ed.world, room)) {
        go_to(room);
        return;
    }
    char question[64];
    snprintf(question, sizeof question, "Room %i has no record yet.", room);
    if (alert(question, "Make a new room there?", nullptr, "&Make", "&Cancel", 'm', 'c') == 1) {
        make_room(room);
    }
}

// Refuses a value outside the field's range, naming the range; the old
// value stays.
static int apply_number(const edit_box &box, int value)
{
    world_image &w = *ed.world;
    int low, high;
    box_range(box, &low, &high);
    if (value < low || value > high) {
        char text[96];
        snprintf(text, sizeof text, "%s takes %i to %i; kept %i",
                 box.label_widget >= 0 ? static_cast<const char *>(dialog[box.label_widget].dp)
                                       : "This field",
                 low, high, box_value(box));
        set_status(text);
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
        ed.level = value;
        return EDIT_OK;
    case BOX_OBJECT:
        return edit_object_field(w, ed.history, ed.marks.object, box.field, value);
    }
    return EDIT_OK;
}

// Applies a field whose text was changed since it was filled, so a value
// another field changes as a side effect (a limit when the size changes)
// is kept.
static int apply_box(const edit_box &box)
{
    if (strcmp(box.text, box.shown) == 0 || box.kind == BOX_SEARCH) {
        return EDIT_OK;
    }
    if (box.kind == BOX_CAPTION || box.kind == BOX_EXAMINE) {
        const int target = box.kind == BOX_CAPTION ? TEXT_CAPTION : TEXT_EXAMINE;
        const int id = target == TEXT_CAPTION ? ed.room : ed.marks.object;
        return edit_text(*ed.world, target, id) == box.text
                   ? EDIT_OK
                   : edit_set_text(*ed.world, ed.history, target, id, box.text);
    }
    if (box.kind == BOX_ROOM_ID) {
        go_to_typed_room();
        return EDIT_OK;
    }
    char *end = nullptr;
    const long value = strtol(box.text, &end, 10);
    if (end == box.text || *end != '\0') {
        set_status("Type a number");
        return EDIT_BAD_VALUE;
    }
    return apply_number(box, static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX)));
}

static void report_box(const edit_box &box)
{
    const int result = apply_box(box);
    if (result != EDIT_BAD_VALUE && box.kind != BOX_ROOM_ID) {
        report_result(result);
    }
}

static void apply_mode_boxes(int mode)
{
    for (int b = 0; b < box_count; b++) {
        if (boxes[b].mode == mode && strcmp(boxes[b].text, boxes[b].shown) != 0) {
            report_box(boxes[b]);
        }
    }
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

static void try_here(void)
{
    if (!room_is_defined(*ed.world, ed.room)) {
        report_result(EDIT_NO_ROOM);
        return;
    }
    int x, y, z;
    try_start_spot(*ed.world, ed.room, ed.marks.cell_x, ed.marks.cell_y, &x, &y, &z);
    try_room(*ed.world, ed.room, x, y, z);
    show_mouse(screen);
    set_status("Back from the try; the world is as it was");
}

static void save_world(void)
{
    std::vector<std::string> errors;
    if (save_editor_world(*ed.paths, *ed.world, ed.saved, errors)) {
        // Saving recompiles the world: message and object numbers may move.
        clear_history(ed.history);
        set_status("Saved the world files and the room texts");
    } else {
        for (const std::string &error : errors) {
            fprintf(stderr, "roomedit: %s\n", error.c_str());
        }
        set_status(errors.empty() ? "Save failed" : errors[0].c_str());
    }
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

static int unsaved(void)
{
    return editor_unsaved(*ed.world, ed.saved);
}

static void run_action(int action)
{
    int id = -1;
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
        try_here();
        break;
    case ACT_GO:
        go_to_typed_room();
        break;
    case ACT_NEW_ROOM:
        new_room();
        break;
    case ACT_QUIT:
        ed.quit = !unsaved() || alert("There are unsaved changes.", "Leave without saving?",
                                      nullptr, "&Leave", "&Stay", 'l', 's') == 1;
        break;
    case ACT_APPLY:
        apply_mode_boxes(ed.mode);
        break;
    case ACT_WALL:
        report_result(
            edit_make_wall(*ed.world, ed.history, ed.room, ed.marks.cell_x, ed.marks.cell_y));
        break;
    case ACT_MARK:
        if (!toggle_bookmark(ed.bookmarks, ed.room)) {
            set_status("Cannot write the bookmarks");
        }
        break;
    case ACT_DELETE:
        report_result(edit_delete_object(*ed.world, ed.history, ed.marks.object));
        break;
    case ACT_DUPLICATE:
        report_result(edit_duplicate_object(*ed.world, ed.history, ed.marks.object, &id));
        ed.marks.object = id >= 0 ? id : ed.marks.object;
        break;
    case ACT_POLY_NEW:
        report_result(edit_add_polygon(*ed.world, ed.history, ed.room, &id));
        ed.marks.polygon = id;
        break;
    case ACT_POLY_DELETE:
        report_result(edit_delete_polygon(*ed.world, ed.history, ed.marks.polygon));
        break;
    default:
        if (action >= ACT_JUMP_DOOR && action < ACT_MOVE_X_DOWN) {
            jump(action);
        } else if (action >= ACT_MOVE_X_DOWN && action < ACT_MOVE_X_DOWN + ACT_STEP_COUNT) {
            move_selected(action);
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

static int is_enter(int c)
{
    return (c & 0xFF) == '\r' || (c & 0xFF) == '\n';
}

static void select_whole(int b)
{
    whole_selected[b] = 1;
    dialog[box_widget[b]].d2 = static_cast<int>(strlen(boxes[b].text));
}

static void draw_selected_value(DIALOG *d)
{
    const int fg = makecol(16, 16, 24), bg = makecol(250, 210, 90);
    rectfill(screen, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, d->bg);
    const int w = std::min(d->w - 2, text_length(font, static_cast<const char *>(d->dp)) + 2);
    rectfill(screen, d->x, d->y, d->x + w, d->y + d->h - 1, bg);
    textout_ex(screen, font, static_cast<const char *>(d->dp), d->x + 1, d->y + 2, fg, -1);
}

// Up and Down step a number field and apply the new value at once.
static int step_field(int b, int scancode)
{
    const int step = scancode == KEY_UP ? 1 : -1;
    const int now =
        strcmp(boxes[b].text, boxes[b].shown) == 0 ? box_value(boxes[b]) : atoi(boxes[b].text);
    snprintf(boxes[b].text, TEXT_BOX, "%i", now + step);
    report_box(boxes[b]);
    refresh_all();
    select_whole(b);
    return D_USED_CHAR | D_REDRAW;
}

// A field that takes a number only. Clicking it, its label, or coming to it
// selects the whole value, so typing replaces it; Enter applies it.
static int number_field_proc(int msg, DIALOG *d, int c)
{
    const int b = widget_box[d - dialog];
    if (msg == MSG_CLICK || msg == MSG_GOTFOCUS) {
        select_whole(b);
        return D_REDRAW;
    }
    if (msg == MSG_LOSTFOCUS) {
        whole_selected[b] = 0;
    }
    if (msg == MSG_DRAW && whole_selected[b] && (d->flags & D_GOTFOCUS)) {
        draw_selected_value(d);
        return D_O_K;
    }
    if (msg != MSG_CHAR) {
        return d_edit_proc(msg, d, c);
    }
    const int scancode = c >> 8, ascii = c & 0xFF;
    if (is_enter(c)) {
        report_box(boxes[b]);
        refresh_all();
        select_whole(b);
        return D_USED_CHAR | D_REDRAW;
    }
    if (scancode == KEY_UP || scancode == KEY_DOWN) {
        return step_field(b, scancode);
    }
    if (scancode == KEY_PGUP || scancode == KEY_PGDN) {
        return D_O_K; // left to the mode's keys
    }
    const int typed = isdigit(ascii) || ascii == '-';
    if (ascii >= ' ' && !typed) {
        return D_USED_CHAR; // a number field takes nothing else
    }
    if (whole_selected[b] && (typed || ascii == ASCII_BACKSPACE || scancode == KEY_DEL)) {
        boxes[b].text[0] = '\0';
        d->d2 = 0;
        whole_selected[b] = 0;
        return typed ? d_edit_proc(msg, d, c) | D_REDRAW : D_USED_CHAR | D_REDRAW;
    }
    whole_selected[b] = 0;
    return d_edit_proc(msg, d, c) | D_REDRAW;
}

// A text field: Enter applies it; the palette's search filters as it is
// typed. After a click on its label, typing replaces the whole text.
static int text_field_proc(int msg, DIALOG *d, int c)
{
    const int b = widget_box[d - dialog];
    if (msg == MSG_LOSTFOCUS || msg == MSG_CLICK) {
        whole_selected[b] = 0;
    }
    if (msg == MSG_DRAW && whole_selected[b] && (d->flags & D_GOTFOCUS)) {
        draw_selected_value(d);
        return D_O_K;
    }
    if (msg == MSG_CHAR && is_enter(c)) {
        report_box(boxes[b]);
        refresh_all();
        return D_USED_CHAR | D_REDRAW;
    }
    const int ascii = c & 0xFF;
    if (msg == MSG_CHAR && whole_selected[b] &&
        (ascii >= ' ' || ascii == ASCII_BACKSPACE || (c >> 8) == KEY_DEL)) {
        boxes[b].text[0] = '\0';
        d->d2 = 0;
        if (ascii < ' ') {
            c = 0; // the clearing was the key's whole work
        }
    }
    whole_selected[b] = msg == MSG_CHAR ? 0 : whole_selected[b];
    const int result = c == 0 && msg == MSG_CHAR ? D_USED_CHAR : d_edit_proc(msg, d, c);
    if (msg == MSG_CHAR && boxes[b].kind == BOX_SEARCH) {
        filter_palette(boxes[b].text);
        object_message(&dialog[definition_widget], MSG_DRAW, 0);
        object_message(&dialog[picture_widget], MSG_DRAW, 0);
    }
    return result | (msg == MSG_CHAR ? D_REDRAW : 0);
}

// A field's label: a click hands the focus to the field with its whole
// value selected.
static int field_label_proc(int msg, DIALOG *d, int c)
{
    const int b = widget_box[d - dialog];
    if (msg == MSG_CLICK && player != nullptr) {
        offer_focus(dialog, box_widget[b], &player->focus_obj, TRUE);
        select_whole(b);
        while (mouse_b) {
            rest(5);
        }
        return D_REDRAW;
    }
    return d_text_proc(msg, d, c);
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
        *size = static_cast<int>(ed.palette.size());
        return nullptr;
    }
    const int def = ed.palette[static_cast<size_t>(index)];
    snprintf(line, sizeof line, "%3i %s", def, object_defs[def].name);
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

// The rows drawn as the library lays them out, the selected one on a solid
// bar whether or not the list has the focus.
static void draw_list(DIALOG *d)
{
    typedef const char *(*getter)(int, int *);
    int count = 0;
    reinterpret_cast<getter>(d->dp)(-1, &count);
    const int row_h = text_height(font);
    const int rows = std::max(1, (d->h - 4) / row_h);
    const int bar = count > rows ? SCROLL_BAR_W : 0;
    const int highlight = makecol(70, 110, 190);
    rectfill(screen, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, d->bg);
    rect(screen, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, d->fg);
    set_clip_rect(screen, d->x + 1, d->y + 1, d->x + d->w - 2 - bar, d->y + d->h - 2);
    for (int r = 0; r < rows && d->d2 + r < count; r++) {
        const int index = d->d2 + r, y = d->y + LIST_ROW_Y + r * row_h;
        if (index == d->d1) {
            rectfill(screen, d->x + 1, y, d->x + d->w - 2 - bar, y + row_h - 1, highlight);
        }
        textout_ex(screen, font, reinterpret_cast<getter>(d->dp)(index, &count), d->x + 3, y, d->fg,
                   -1);
    }
    set_clip_rect(screen, 0, 0, SCREEN_W - 1, SCREEN_H - 1);
    if (bar) {
        const int track = d->h - 4;
        const int top = d->y + 2 + track * d->d2 / count;
        const int len = std::max(4, track * rows / count);
        rectfill(screen, d->x + d->w - bar, d->y + 1, d->x + d->w - 2, d->y + d->h - 2,
                 makecol(24, 24, 32));
        rectfill(screen, d->x + d->w - bar + 2, top, d->x + d->w - 4,
                 std::min(top + len, d->y + d->h - 3), gui_mg_color);
    }
}

// A list that acts when its selection changes. Page Up and Page Down go to
// the mode's keys (they move the selected object) rather than the list.
static int watched_list_proc(int msg, DIALOG *d, int c)
{
    const int i = static_cast<int>(d - dialog);
    if (msg == MSG_DRAW) {
        draw_list(d);
        return D_O_K;
    }
    if (msg == MSG_CHAR && ((c >> 8) == KEY_PGUP || (c >> 8) == KEY_PGDN) &&
        MODES[ed.mode].key(c >> 8)) {
        refresh_all();
        return D_USED_CHAR | D_REDRAW;
    }
    const int result = d_list_proc(msg, d, c);
    if ((msg == MSG_CLICK || msg == MSG_CHAR) && d->d1 != list_seen[i]) {
        list_seen[i] = d->d1;
        list_changed(d);
        refresh_all();
        return result | D_REDRAW;
    }
    return result;
}

// The selected definition's first picture, its number, name and size.
static int definition_picture_proc(int msg, DIALOG *d, int)
{
    if (msg != MSG_DRAW) {
        return D_O_K;
    }
    rectfill(screen, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, makecol(24, 24, 32));
    const int def = chosen_definition();
    if (def < 0) {
        textout_ex(screen, font, "No definition has that name", d->x + 4, d->y + 4, gui_fg_color,
                   -1);
        return D_O_K;
    }
    const object_def &o = object_defs[def];
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
    textout_ex(screen, font, goes_on_walls(def) ? "hangs on walls" : "stands on things",
               d->x + d->w / 2, d->y + 28, gui_mg_color, -1);
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
                                                    : "Room %i is an empty slot: New makes it",
                ed.room);
        }
        stretch_blit(backbuffer, view_cache, 0, 0, VIEW_W, VIEW_H, 0, 0, view_cache->w,
                     view_cache->h);
        ed.view_dirty = 0;
    }
    blit(view_cache, screen, 0, 0, d->x, d->y, d->w, d->h);
    view_marks marks = ed.marks;
    MODES[ed.mode].marks(marks);
    draw_view_marks(screen, d->x, d->y, *ed.world, ed.room, marks);
}

static void cell_marks(view_marks &marks)
{
    marks.object = -1;
}

static void object_marks(view_marks &marks)
{
    marks.cell_x = marks.cell_y = -1;
}

static void polygon_marks(view_marks &marks)
{
    marks.cell_x = marks.cell_y = marks.object = -1;
    marks.show_polygons = 1;
}

// Build: a click on a floor selects its cell; on a side face, its cell and
// the face's level. Where nothing is drawn (a solid cell, a cell without a
// floor image) the cell whose top lies under the cursor; a click on an
// object selects no cell.
static void build_click(DIALOG *, int vx, int vy, int)
{
    const view_pick pick = pick_at(vx, vy);
    int cx, cy;
    if (pick.kind == PICK_FLOOR || pick.kind == PICK_FACE) {
        ed.marks.cell_x = pick.cell_x;
        ed.marks.cell_y = pick.cell_y;
        ed.level = pick.kind == PICK_FACE ? pick.level : ed.level;
    } else if (pick.kind == PICK_NONE && cell_at(*ed.world, ed.room, vx, vy, &cx, &cy)) {
        ed.marks.cell_x = cx;
        ed.marks.cell_y = cy;
    }
}

// Objects: a click puts the chosen definition on what is seen there, or on
// the wall face for the things that hang; a right click selects.
static void objects_click(DIALOG *, int vx, int vy, int right)
{
    const view_pick pick = pick_at(vx, vy);
    if (right) {
        ed.marks.object = pick.object;
        return;
    }
    const int def = chosen_definition();
    int x, y, z, id = -1;
    if (def < 0) {
        set_status("Choose a definition in the palette first");
        return;
    }
    if (!placement_at(*ed.world, ed.room, def, vx, vy, pick, &x, &y, &z)) {
        set_status(pick.kind == PICK_FACE ? "Only things that hang go on a wall face"
                                          : "Click on a floor, an object or a wall face");
        return;
    }
    report_result(edit_place_object_at(*ed.world, ed.history, ed.room, def, x, y, z, &id));
    ed.marks.object = id >= 0 ? id : ed.marks.object;
}

static void select_click(DIALOG *, int vx, int vy, int)
{
    ed.marks.object = pick_at(vx, vy).object;
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

static void poly_click(DIALOG *d, int vx, int vy, int right)
{
    if (ed.marks.polygon < 0) {
        report_result(edit_add_polygon(*ed.world, ed.history, ed.room, &ed.marks.polygon));
    }
    const int point = point_near(vx, vy);
    if (point >= 0 && right) {
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

// Build: arrows step the selected cell along x and y, as the player walks;
// Page Up and Down change its height.
static int build_key(int scancode)
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
    if (scancode == KEY_PGUP || scancode == KEY_PGDN) {
        const int h =
            cell_field(*ed.world, ed.room, ed.marks.cell_x, ed.marks.cell_y, CELL_HEIGHT, 0);
        report_result(edit_cell(*ed.world, ed.history, ed.room, ed.marks.cell_x, ed.marks.cell_y,
                                CELL_HEIGHT, 0, h + (scancode == KEY_PGUP ? 1 : -1)));
        return 1;
    }
    return 0;
}

// Arrows move the selected object, Page Up and Down its z, Delete deletes it.
static int object_key(int scancode)
{
    static const int moves[][2] = {{KEY_LEFT, ACT_MOVE_X_DOWN + 1},
                                   {KEY_RIGHT, ACT_MOVE_X_DOWN},
                                   {KEY_UP, ACT_MOVE_X_DOWN + 3},
                                   {KEY_DOWN, ACT_MOVE_X_DOWN + 2},
                                   {KEY_PGUP, ACT_MOVE_X_DOWN + 5},
                                   {KEY_PGDN, ACT_MOVE_X_DOWN + 4},
                                   {KEY_DEL, ACT_DELETE}};
    for (const auto &move : moves) {
        if (move[0] == scancode) {
            run_action(move[1]);
            return 1;
        }
    }
    return 0;
}

static int no_key(int)
{
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
    case MSG_CLICK: {
        const int vx = (mouse_x - d->x) / VIEW_ZOOM, vy = (mouse_y - d->y) / VIEW_ZOOM;
        MODES[ed.mode].click(d, vx, vy, (mouse_b & 2) != 0);
        while (mouse_b) {
            rest(5);
        }
        refresh_all();
        return D_REDRAW;
    }
    case MSG_CHAR:
        if (MODES[ed.mode].key(c >> 8)) {
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
    static const char *const labels[] = {"Undo", "Redo", "Save", "Try"};
    for (int m = 0; m < MODE_COUNT; m++) {
        add_button(MODES[m].label, m, MODE_ALL, VIEW_X + m * MODE_BUTTON_STEP, BAR_Y,
                   MODE_BUTTON_W);
    }
    int x = VIEW_X + MODE_COUNT * MODE_BUTTON_STEP + 8;
    for (int i = 0; i < static_cast<int>(std::size(labels)); i++) {
        add_button(labels[i], ACT_UNDO + i, MODE_ALL, x, BAR_Y, 52);
        x += 56;
    }
    add_box(BOX_ROOM_ID, 0, "Room", MODE_ALL, x + 4, BAR_Y + 2, 32);
    add_button("Go", ACT_GO, MODE_ALL, x + 80, BAR_Y, 30);
    add_button("New", ACT_NEW_ROOM, MODE_ALL, x + 114, BAR_Y, 36);
    add_button("Quit", ACT_QUIT, MODE_ALL, EDITOR_W - 56, BAR_Y, 50);
}

static void build_build_panel(int mode)
{
    static const char *const room_labels[] = {"Size X",   "Size Y",   "Ceiling",  "Light",
                                              "Limit SW", "Limit NW", "Limit NE", "Limit SE",
                                              "Backcol",  "Outside",  "Origin X", "Origin Y"};
    static const int room_fields[] = {ROOM_SIZE_X,   ROOM_SIZE_Y,   ROOM_CEILING,  ROOM_LIGHT,
                                      ROOM_LIMIT_SW, ROOM_LIMIT_NW, ROOM_LIMIT_NE, ROOM_LIMIT_SE,
                                      ROOM_BACKCOL,  ROOM_OUTSIDE,  ROOM_ORIGIN_X, ROOM_ORIGIN_Y};
    static const char *const adj_labels[] = {"Adj SW", "NW", "NE", "SE"};
    int y = VIEW_Y;
    for (int i = 0; i < static_cast<int>(std::size(room_fields)); i++) {
        const int x = PANEL_X + (i % 2) * (PANEL_W / 2);
        add_box(BOX_ROOM, room_fields[i], room_labels[i], mode, x, y, NUMBER_W);
        y += i % 2 ? ROW_H : 0;
    }
    int x = PANEL_X;
    for (int side = 0; side < SIDE_COUNT; side++) {
        add_box(BOX_ROOM, ROOM_ADJ_SW + side, adj_labels[side], mode, x, y, 32);
        x += CHAR_W * static_cast<int>(strlen(adj_labels[side])) + 44;
    }
    y += ROW_H + 4;
    add_button("Set", ACT_APPLY, mode, PANEL_X, y);
    y += BUTTON_H + 8;
    add_button("Wall", ACT_WALL, mode, PANEL_X + PANEL_W - 64, y);
    add_widget(d_text_proc, PANEL_X, y + 4, 100, 8, mode, cell_text);
    add_box(BOX_LEVEL, 0, "Level", mode, PANEL_X + PANEL_W / 2, y, NUMBER_W);
    y += ROW_H;
    static const char *const cell_labels[] = {"Height", "Tile", "Left", "Right"};
    for (int f = 0; f < CELL_FIELD_COUNT; f++) {
        add_box(BOX_CELL, f, cell_labels[f], mode, PANEL_X + (f % 2) * (PANEL_W / 2), y, NUMBER_W);
        y += f % 2 ? ROW_H : 0;
    }
    add_widget(d_text_proc, PANEL_X, y + 6, PANEL_W, 8, mode,
               const_cast<char *>("Click a floor or a side face to pick a cell."));
}

static void build_objects_panel(int mode)
{
    add_box(BOX_SEARCH, 0, "Find", mode, PANEL_X, VIEW_Y, PANEL_W - 48);
    definition_widget = add_widget(watched_list_proc, PANEL_X, VIEW_Y + ROW_H + 2, PANEL_W, 180,
                                   mode, reinterpret_cast<void *>(definition_list));
    picture_widget =
        add_widget(definition_picture_proc, PANEL_X, VIEW_Y + 204, PANEL_W, 70, mode, nullptr);
    add_button("Delete", ACT_DELETE, mode, PANEL_X, VIEW_Y + 280, 70);
    add_button("Duplicate", ACT_DUPLICATE, mode, PANEL_X + 76, VIEW_Y + 280, 90);
}

static void build_position_panel(int mode)
{
    static const char *const labels[] = {"X-", "X+", "Y-", "Y+", "Z-", "Z+"};
    for (int i = 0; i < static_cast<int>(std::size(labels)); i++) {
        add_button(labels[i], ACT_MOVE_X_DOWN + i, mode, PANEL_X + (i / 2) * 90 + (i % 2) * 42,
                   VIEW_Y, 38);
    }
    add_widget(snap_check_proc, PANEL_X, VIEW_Y + 28, 140, 14, mode, snap_label);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 50, PANEL_W, 8, mode, position_text);
}

// The fields keep the texts the game's editor showed: "door=%i" is the
// label "door=" followed by the number.
static void build_props_panel(int mode)
{
    static const char *const labels[OBJECT_FIELD_COUNT] = {
        "door=",         "door room=", "door x=",      "door y=", "door z=",   "door key=",
        "examine text=", "visible=",   "transparent=", "frame=",  "room part="};
    for (int f = 0; f < OBJECT_FIELD_COUNT; f++) {
        add_box(BOX_OBJECT, f, labels[f], mode, PANEL_X, VIEW_Y + f * ROW_H, 56);
    }
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 12 * ROW_H, PANEL_W, 8, mode, position_text);
    add_button("Set", ACT_APPLY, mode, PANEL_X, VIEW_Y + 13 * ROW_H);
}

static void build_desc_panel(int mode)
{
    add_box(BOX_CAPTION, 0, "Caption", mode, PANEL_X, VIEW_Y, PANEL_W - 60);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 26, PANEL_W, 8, mode, position_text);
    add_box(BOX_EXAMINE, 0, "Examine", mode, PANEL_X, VIEW_Y + 38, PANEL_W - 60);
    add_button("Set", ACT_APPLY, mode, PANEL_X, VIEW_Y + 62);
}

static void build_poly_panel(int mode)
{
    add_widget(watched_list_proc, PANEL_X, VIEW_Y, PANEL_W, 120, mode,
               reinterpret_cast<void *>(polygon_list));
    add_button("New", ACT_POLY_NEW, mode, PANEL_X, VIEW_Y + 126);
    add_button("Delete", ACT_POLY_DELETE, mode, PANEL_X + 66, VIEW_Y + 126);
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 154, PANEL_W, 8, mode,
               const_cast<char *>("Click adds a point, drag moves one,"));
    add_widget(d_text_proc, PANEL_X, VIEW_Y + 166, PANEL_W, 8, mode,
               const_cast<char *>("right click deletes one."));
}

static void build_common_panel(void)
{
    static const char *const jumps[] = {"Door", "Mark", "SW", "NW", "NE", "SE"};
    static const int jump_actions[] = {ACT_JUMP_DOOR,   ACT_MARK,        ACT_JUMP_SW,
                                       ACT_JUMP_SW + 1, ACT_JUMP_SW + 2, ACT_JUMP_SW + 3};
    const int y = VIEW_Y + 310;
    add_widget(d_text_proc, PANEL_X, y, 80, 8, MODE_ALL, const_cast<char *>("Findings"));
    findings_widget = add_widget(watched_list_proc, PANEL_X, y + 10, PANEL_W, 74, MODE_ALL,
                                 reinterpret_cast<void *>(findings_list));
    add_widget(d_text_proc, PANEL_X, y + 90, 80, 8, MODE_ALL, const_cast<char *>("Bookmarks"));
    bookmarks_widget = add_widget(watched_list_proc, PANEL_X, y + 100, 200, 84, MODE_ALL,
                                  reinterpret_cast<void *>(bookmark_list));
    for (int i = 0; i < static_cast<int>(std::size(jumps)); i++) {
        add_button(jumps[i], jump_actions[i], MODE_ALL, PANEL_X + 206 + (i % 2) * 70,
                   y + 100 + (i / 2) * 28, 64);
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
    for (int m = 0; m < MODE_COUNT; m++) {
        MODES[m].build_panel(m);
    }
    build_common_panel();
    for (int i = 0; i < widget_count; i++) {
        list_seen[i] = dialog[i].d1;
    }
    dialog[widget_count] = {};
}

// A press seen by the mouse thread but not yet by the dialog. Edits have
// the findings made again, which takes a moment; a click pressed and
// released meanwhile still reaches the dialog, once.
static std::atomic<int> unseen_press{0};

static void remember_press(int flags)
{
    if (flags & MOUSE_FLAG_LEFT_DOWN) {
        unseen_press.fetch_or(1);
    }
    if (flags & MOUSE_FLAG_RIGHT_DOWN) {
        unseen_press.fetch_or(2);
    }
}

static int dialog_mouse_buttons(void)
{
    return mouse_b | unseen_press.exchange(0);
}

void run_editor(const editor_paths &paths, world_image &world, int first_room)
{
    ed.paths = &paths;
    ed.world = &world;
    take_saved_texts(world, ed.saved);
    load_bookmarks(world, ed.bookmarks);
    gui_fg_color = makecol(230, 230, 230);
    gui_mg_color = makecol(128, 128, 128);
    gui_bg_color = makecol(40, 40, 52);
    view_cache = create_bitmap(VIEW_W * VIEW_ZOOM, VIEW_H * VIEW_ZOOM);
    build_dialog();
    filter_palette("");
    go_to(first_room);
    refresh_all();
    show_mouse(screen);
    mouse_callback = remember_press;
    gui_mouse_b = dialog_mouse_buttons;
    player = init_dialog(dialog, -1);
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
    mouse_callback = nullptr;
    player = nullptr;
    show_mouse(nullptr);
    destroy_bitmap(view_cache);
}

static const char *mode_name(int mode)
{
    return mode == MODE_ALL ? "*" : MODES[mode].label;
}

void print_editor_layout(FILE *out)
{
    build_dialog();
    for (int i = 0; i < widget_count; i++) {
        const DIALOG &d = dialog[i];
        const char *label = d.proc == action_button_proc || d.proc == field_label_proc
                                ? static_cast<const char *>(d.dp)
                                : nullptr;
        if (label != nullptr) {
            fprintf(out, "%s\t%s\t%i\t%i\n", mode_name(widget_mode[i]), label, d.x + d.w / 2,
                    d.y + d.h / 2);
        }
    }
    fprintf(out, "*\tview\t%i\t%i\n", VIEW_X, VIEW_Y);
}

void print_editor_help(FILE *out)
{
    fprintf(out, "Modes (the buttons over the room):\n");
    for (const editor_mode &mode : MODES) {
        fprintf(out, "  %-9s %s\n", mode.label, mode.help);
    }
    fprintf(out, "Keys:\n"
                 "  Ctrl+Z, Ctrl+Y     undo, redo (200 steps)\n"
                 "  arrows             step the selected cell (Build) or move the object\n"
                 "  Page Up/Down       the cell's height (Build) or the object's z\n"
                 "  Delete             delete the selected object\n"
                 "  in a number field  typing replaces the value, Enter applies it,\n"
                 "                     Up and Down step it\n"
                 "Room field: Go goes to the room typed (and offers to make it when the\n"
                 "slot is free); New makes a room in the slot typed, or the first free one.\n");
}
