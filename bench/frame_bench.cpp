// One game frame of the busiest room of the built game folder and its
// stages, each beside an honest floor timed in the same run: a floor writes
// each view pixel once (background copy, masked copies of the already cut
// sprite images, the exact lighting in SSE2, a masked copy of the caption and
// panel) and gives the same pixels, which main checks before timing. The
// present is timed at zooms 1 to 4 against plain replication and one blit.
#include "bench_support.h"

#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <unistd.h>

#include "game/game_loop.h"
#include "game/main_flow.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "platform/random.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "shell/timing.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

constexpr int MAX_ZOOM = 4;
constexpr unsigned SEED = 12345;

// A picture drawn by the floor at a view position, with the rows and
// columns that hold anything but the skipped pixel.
struct placed_picture {
    const BITMAP *image;
    int x, y, left, top, right, bottom;
};

std::vector<placed_picture> sprite_pictures;
std::vector<int> torch_slots;
placed_picture overlay[2];        // caption, then panel, on a skipped field
BITMAP *bare_view;                // background only, what the sprites go onto
BITMAP *window[MAX_ZOOM + 1];     // window-sized targets of the present
BITMAP *replicated[MAX_ZOOM + 1]; // the floor's own enlarged buffers
int present_zoom = 1;

uint32_t *row_of(const BITMAP *b, int y)
{
    return reinterpret_cast<uint32_t *>(b->line[y]);
}

placed_picture place(const BITMAP *image, int x, int y, int first_row = 0, int end_row = -1)
{
    placed_picture p{image, x, y, image->w, image->h, 0, 0};
    for (int r = first_row; r < (end_row < 0 ? image->h : end_row); r++) {
        for (int k = 0; k < image->w; k++) {
            if (row_of(image, r)[k] != MASK_COLOUR) {
                p.left = std::min(p.left, k), p.right = std::max(p.right, k + 1);
                p.top = std::min(p.top, r), p.bottom = r + 1;
            }
        }
    }
    return p;
}

int busiest_room(void)
{
    std::vector<int> count(ROOM_COUNT, 0);
    for (const world_object &w : world_objects) {
        if (w.used != WOBJ_FREE && w.room >= 0 && w.room < ROOM_COUNT) {
            count[static_cast<size_t>(w.room)]++;
        }
    }
    return static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
}

// Loads the game folder, enters its busiest room and draws one frame, after
// which the sprite images are cut as every later frame leaves them.
void set_up_world(void)
{
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
    compose_game_frame();
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        const world_object *w = s.image != nullptr ? sprite_world_object(i) : nullptr;
        if (w != nullptr && w->visible && !w->room_part) {
            sprite_pictures.push_back(place(s.image, s.screen_x, s.screen_y));
        }
        if (w != nullptr && (w->obj_def == DEF_TORCH || w->obj_def == DEF_TORCH_2)) {
            torch_slots.push_back(i);
        }
    }
    BITMAP *real = backbuffer;
    backbuffer = create_bitmap(VIEW_W, VIEW_H);
    clear_to_color(backbuffer, static_cast<int>(MASK_COLOUR));
    draw_caption();
    draw_panel();
    overlay[0] = place(backbuffer, 0, 0, 0, PANEL_Y);
    overlay[1] = place(backbuffer, 0, 0, PANEL_Y);
    bare_view = create_bitmap(VIEW_W, VIEW_H);
    backbuffer = real;
    clear_to_color(bare_view, 0);
    BITMAP *keep = backbuffer;
    backbuffer = bare_view;
    draw_room_background();
    backbuffer = keep;
    for (int z = 1; z <= MAX_ZOOM; z++) {
        window[z] = create_bitmap(VIEW_W * z, VIEW_H * z);
        replicated[z] = create_bitmap(VIEW_W * z, VIEW_H * z);
        unsigned char *first = replicated[z]->line[0];
        size_t pitch = VIEW_W * z * 4u;
        for (int y = 0; y < VIEW_H * z; y++) {
            replicated[z]->line[y] = first + static_cast<size_t>(y / z) * pitch;
        }
    }
}

// --- the floors ---

void masked_copy(BITMAP *to, const placed_picture &p)
{
    int top = std::max(p.top, -p.y), bottom = std::min(p.bottom, VIEW_H - p.y);
    int left = std::max(p.left, -p.x), right = std::min(p.right, VIEW_W - p.x);
    const __m128i skipped = _mm_set1_epi32(static_cast<int>(MASK_COLOUR));
    for (int r = top; r < bottom; r++) {
        const uint32_t *from = row_of(p.image, r);
        uint32_t *row = row_of(to, r + p.y) + p.x;
        int k = left;
        for (; k + 4 <= right; k += 4) {
            __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + k));
            __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + k));
            __m128i keep = _mm_cmpeq_epi32(s, skipped);
            __m128i out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + k), out);
        }
        for (; k < right; k++) {
            row[k] = from[k] == MASK_COLOUR ? row[k] : from[k];
        }
    }
}

// The room background where it covers the view, black elsewhere: each
// pixel written once.
void floor_background(BITMAP *to)
{
    int dx = view_origin_x - BACKGROUND_ORIGIN_X, dy = view_origin_y - BACKGROUND_ORIGIN_Y;
    int left = std::clamp(dx, 0, VIEW_W), right = std::clamp(dx + ROOM_BACKGROUND_W, 0, VIEW_W);
    for (int y = 0; y < VIEW_H; y++) {
        uint32_t *row = row_of(to, y);
        if (y < dy || y >= dy + ROOM_BACKGROUND_H) {
            memset(row, 0, VIEW_W * 4);
            continue;
        }
        memset(row, 0, static_cast<size_t>(left) * 4);
        memcpy(row + left, row_of(room_background, y - dy) + (left - dx),
               static_cast<size_t>(right - left) * 4);
        memset(row + right, 0, static_cast<size_t>(VIEW_W - right) * 4);
    }
}

void floor_sprites(BITMAP *to)
{
    for (const placed_picture &p : sprite_pictures) {
        masked_copy(to, p);
    }
}

// dst - ((src * factor) >> 8) per byte, saturating, skipping the mask
// colour, fourth byte 0: the glow's rule.
void floor_glow(BITMAP *map, const BITMAP *glow, int x, int y, int factor)
{
    int sx = std::max(0, -x), sy = std::max(0, -y);
    int w = std::min(glow->w - sx, VIEW_W - std::max(x, 0));
    int h = std::min(glow->h - sy, VIEW_H - std::max(y, 0));
    const __m128i f = _mm_set1_epi16(static_cast<short>(factor)), zero = _mm_setzero_si128();
    const __m128i skipped = _mm_set1_epi32(static_cast<int>(MASK_COLOUR));
    const __m128i colour = _mm_set1_epi32(static_cast<int>(RGB_BITS));
    for (int r = 0; r < h; r++) {
        const uint32_t *from = row_of(glow, sy + r) + sx;
        uint32_t *row = row_of(map, std::max(y, 0) + r) + std::max(x, 0);
        int k = 0;
        for (; k + 4 <= w; k += 4) {
            __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + k));
            __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + k));
            __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), f), 8);
            __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), f), 8);
            __m128i out = _mm_and_si128(_mm_subs_epu8(d, _mm_packus_epi16(lo, hi)), colour);
            __m128i keep = _mm_cmpeq_epi32(s, skipped);
            out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, out));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + k), out);
        }
        for (; k < w; k++) {
            uint32_t s = from[k], d = row[k], out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                int a = static_cast<int>((s >> shift) & 0xff) * factor >> 8;
                out |= static_cast<uint32_t>(std::max(static_cast<int>((d >> shift) & 0xff) - a, 0))
                       << shift;
            }
            row[k] = s == MASK_COLOUR ? d : out;
        }
    }
}

// The view darkened by the map with factor 255: a plain saturating
// subtraction of (map - 1), fourth byte 0. The map is grey (below 255), so
// it never holds the skipped colour.
void floor_subtract(BITMAP *view, const BITMAP *map)
{
    const __m128i one = _mm_set1_epi8(1), colour = _mm_set1_epi32(static_cast<int>(RGB_BITS));
    for (int y = 0; y < VIEW_H; y++) {
        const __m128i *from = reinterpret_cast<const __m128i *>(row_of(map, y));
        __m128i *row = reinterpret_cast<__m128i *>(row_of(view, y));
        for (int k = 0; k < VIEW_W / 4; k++) {
            __m128i amount = _mm_subs_epu8(_mm_loadu_si128(from + k), one);
            __m128i d = _mm_loadu_si128(row + k);
            _mm_storeu_si128(row + k, _mm_and_si128(_mm_subs_epu8(d, amount), colour));
        }
    }
}

void floor_lighting(void)
{
    int d = room_darkness(rooms[current_room].brightness);
    if (d == 0) {
        return;
    }
    const __m128i grey = _mm_set1_epi32(d | d << 8 | d << 16);
    for (int y = 0; y < VIEW_H; y++) {
        __m128i *row = reinterpret_cast<__m128i *>(row_of(light_map, y));
        for (int k = 0; k < VIEW_W / 4; k++) {
            _mm_storeu_si128(row + k, grey);
        }
    }
    BITMAP *glow = datafile_bitmap(custom_datafile, GLOW_IMAGE);
    for (int slot : torch_slots) {
        int f = random_range(GLOW_FLICKER_LOW, GLOW_FLICKER_HIGH);
        floor_glow(light_map, glow, sprite_table[slot].screen_x - GLOW_OFFSET,
                   sprite_table[slot].screen_y - GLOW_OFFSET, f);
    }
    floor_subtract(backbuffer, light_map);
}

void floor_frame_unlit(void)
{
    floor_background(backbuffer);
    floor_sprites(backbuffer);
    masked_copy(backbuffer, overlay[0]);
    masked_copy(backbuffer, overlay[1]);
}

void floor_frame_lit(void)
{
    floor_background(backbuffer);
    floor_sprites(backbuffer);
    floor_lighting();
    masked_copy(backbuffer, overlay[0]);
    masked_copy(backbuffer, overlay[1]);
}

// Replication four pixels at a time (each lane copied zoom times by
// shuffles) into the first row of each block, whose other rows share its
// memory, then one blit.
void floor_present(void)
{
    int z = present_zoom;
    if (z == 1) {
        blit(backbuffer, window[1], 0, 0, 0, 0, VIEW_W, VIEW_H);
        return;
    }
    for (int y = 0; y < VIEW_H; y++) {
        const __m128i *from = reinterpret_cast<const __m128i *>(row_of(backbuffer, y));
        __m128i *to = reinterpret_cast<__m128i *>(row_of(replicated[z], y * z));
        for (int x = 0; x < VIEW_W / 4; x++) {
            __m128i p = _mm_loadu_si128(from + x);
            if (z == 2) {
                _mm_storeu_si128(to++, _mm_unpacklo_epi32(p, p));
                _mm_storeu_si128(to++, _mm_unpackhi_epi32(p, p));
            } else if (z == 3) {
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 0, 0, 0)));
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 1, 1)));
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 2)));
            } else {
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(0, 0, 0, 0)));
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 1, 1, 1)));
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 2, 2)));
                _mm_storeu_si128(to++, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 3)));
            }
        }
    }
    blit(replicated[z], window[z], 0, 0, 0, 0, VIEW_W * z, VIEW_H * z);
}

// --- the figures ---

void frame_lit(void)
{
    compose_game_frame();
}

void frame_unlit(void)
{
    lighting_enabled = 0;
    compose_game_frame();
    lighting_enabled = 1;
}

void sprites_onto_bare_view(void)
{
    blit(bare_view, backbuffer, 0, 0, 0, 0, VIEW_W, VIEW_H);
}

void sprite_passes(void)
{
    draw_sprites();
}

void floor_sprite_passes(void)
{
    floor_sprites(backbuffer);
}

void caption_and_panel(void)
{
    draw_caption();
    draw_panel();
}

void floor_caption_and_panel(void)
{
    masked_copy(backbuffer, overlay[0]);
    masked_copy(backbuffer, overlay[1]);
}

void view_subtraction(void)
{
    subtract_blit(backbuffer, light_map, 0, 0, VIEW_DARKEN_FACTOR);
}

void floor_view_subtraction(void)
{
    floor_subtract(backbuffer, light_map);
}

void present(void)
{
    present_view(backbuffer, window[present_zoom], present_zoom);
}

void present_by_stretch_blit(void)
{
    int z = present_zoom;
    stretch_blit(backbuffer, window[z], 0, 0, VIEW_W, VIEW_H, 0, 0, VIEW_W * z, VIEW_H * z);
}

// --- checks ---

bool views_equal(const BITMAP *a, const BITMAP *b)
{
    for (int y = 0; y < a->h; y++) {
        if (memcmp(a->line[y], b->line[y], static_cast<size_t>(a->w) * 4) != 0) {
            for (int x = 0; x < a->w; x++) {
                if (row_of(a, y)[x] != row_of(b, y)[x]) {
                    fprintf(stderr, "first difference at (%d, %d): %08x, rule %08x\n", x, y,
                            row_of(a, y)[x], row_of(b, y)[x]);
                    break;
                }
            }
            return false;
        }
    }
    return true;
}

// Runs the figure and the floor from the same view and random state.
bool same_output(bench_step figure, bench_step floor, BITMAP *out, BITMAP *start)
{
    BITMAP *theirs = create_bitmap(out->w, out->h), *real = backbuffer;
    backbuffer = create_bitmap(VIEW_W, VIEW_H);
    blit(start, backbuffer, 0, 0, 0, 0, VIEW_W, VIEW_H);
    runtime_srand(SEED);
    figure();
    blit(out == real ? backbuffer : out, theirs, 0, 0, 0, 0, out->w, out->h);
    blit(start, backbuffer, 0, 0, 0, 0, VIEW_W, VIEW_H);
    runtime_srand(SEED);
    floor();

    bool same = views_equal(out == real ? backbuffer : out, theirs);
    destroy_bitmap(backbuffer);
    destroy_bitmap(theirs);
    backbuffer = real;
    return same;
}

void check_floors(void)
{
    set_up_world();
    BITMAP *v = backbuffer;
    expect_same(same_output(frame_lit, floor_frame_lit, v, bare_view), "lit frame");
    expect_same(same_output(frame_unlit, floor_frame_unlit, v, bare_view), "unlit frame");
    expect_same(same_output(sprite_passes, floor_sprite_passes, v, bare_view), "sprite passes");
    expect_same(same_output(caption_and_panel, floor_caption_and_panel, v, bare_view),
                "caption and panel");
    expect_same(same_output(view_subtraction, floor_view_subtraction, v, v), "view subtraction");
    for (present_zoom = 1; present_zoom <= MAX_ZOOM; present_zoom++) {
        expect_same(same_output(present, floor_present, window[present_zoom], v), "present");
        expect_same(same_output(present_by_stretch_blit, floor_present, window[present_zoom], v),
                    "present by stretch_blit");
    }
}

void run(benchmark::State &state, bench_step figure, bench_step floor)
{
    for (auto _ : state) {
        figure();
        benchmark::ClobberMemory();
    }
    report_against_floor(state, figure, floor);
}

void bm_frame_lit(benchmark::State &state)
{
    run(state, frame_lit, floor_frame_lit);
}
BENCHMARK(bm_frame_lit)->Unit(benchmark::kMicrosecond);

void bm_frame_unlit(benchmark::State &state)
{
    run(state, frame_unlit, floor_frame_unlit);
}
BENCHMARK(bm_frame_unlit)->Unit(benchmark::kMicrosecond);

void bm_sprite_passes(benchmark::State &state)
{
    sprites_onto_bare_view();
    run(state, sprite_passes, floor_sprite_passes);
}
BENCHMARK(bm_sprite_passes)->Unit(benchmark::kMicrosecond);

void bm_caption_and_panel(benchmark::State &state)
{
    run(state, caption_and_panel, floor_caption_and_panel);
}
BENCHMARK(bm_caption_and_panel)->Unit(benchmark::kMicrosecond);

void bm_view_subtraction(benchmark::State &state)
{
    run(state, view_subtraction, floor_view_subtraction);
}
BENCHMARK(bm_view_subtraction)->Unit(benchmark::kMicrosecond);

void bm_present(benchmark::State &state)
{
    present_zoom = static_cast<int>(state.range(0));
    run(state, present, floor_present);
}
BENCHMARK(bm_present)->DenseRange(1, MAX_ZOOM)->Unit(benchmark::kMicrosecond);

void bm_present_by_stretch_blit(benchmark::State &state)
{
    present_zoom = static_cast<int>(state.range(0));
    run(state, present_by_stretch_blit, floor_present);
}
BENCHMARK(bm_present_by_stretch_blit)->DenseRange(1, MAX_ZOOM)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return run_benchmarks(argc, argv, check_floors);
}
