// The table of the game datafile's images: for every index range, which
// definition it belongs to and what it shows. Rows are in index order; the
// ranges a definition with several facings reaches follow the image rule
// facing * frames_per_facing + frames[anim_frame], so the player (12 per
// facing, 10 frames) owns 143..152, 155..164, 167..176 and 179..188.
#include "world/image_index.h"

#include "shell/resources.h"
#include "world/object_defs.h"

// clang-format off
constexpr image_range image_ranges[] = {
{6, 6, 27, "rail"},
{7, 7, 28, "rail (mirror of 27)"},
{8, 8, 33, "gold trim table"},
{9, 9, 34, "gold trim table (mirror of 33)"},
{10, 10, 35, "a runestone"},
{11, 11, 37, "a stool"},
{12, 12, 39, "a suit of armour"},
{13, 13, 50, "a barrel"},
{14, 14, 40, "a suit of armour (mirror of 39)"},
{15, 15, 41, "a plant"},
{16, 16, 42, "a plaque"},
{17, 17, 43, "a plaque (mirror of 42)"},
{18, 18, 44, "a crown"},
{19, 19, 45, "a stone post"},
{20, 20, 51, "a bookshelf"},
{21, 21, 52, "a bookshelf (mirror of 51)"},
{22, 22, 53, "a book"},
{23, 23, 55, "a slab"},
{24, 24, 56, "a scroll"},
{25, 25, 64, "a cannon"},
{26, 26, 65, "a cannon (mirror of 64)"},
{27, 27, 67, "a wand"},
{28, 28, 68, "a dagger"},
{29, 29, 69, "a shield & spears"},
{30, 33, 170, "a big candle: 4 animation frames"},
{34, 35, 36, "big door: 2 variants"},
{36, 36, 70, "a shield & spears (mirror of 69)"},
{39, 43, 38, "a book: 5 variants"},
{44, 48, 72, "a torch: 5 animation frames"},
{49, 49, 75, "a bridge beam"},
{50, 50, 76, "a cloth covered table"},
{51, 51, 135, "a BOULDER"},
{52, 52, 77, "a cross"},
{53, 53, 78, "a cross (mirror of 77)"},
{54, 54, 79, "a bed"},
{55, 55, 57, "a loaf of bread"},
{56, 56, 80, "a bed (mirror of 79)"},
{57, 57, 81, "a bed end"},
{58, 58, 82, "a bed end (mirror of 81)"},
{59, 59, 83, "a wooden shelf"},
{60, 60, 84, "a wooden shelf (mirror of 83)"},
{61, 61, 85, "a chimney funnel"},
{62, 62, 86, "a chimney funnel (mirror of 85)"},
{63, 66, 54, "a candle: 4 animation frames"},
{67, 67, 87, "a block"},
{68, 68, 88, "a block (mirror of 87)"},
{69, 69, 89, "a set of utensils"},
{70, 70, 90, "a set of utensils (mirror of 89)"},
{71, 71, 91, "a shield"},
{72, 72, 66, "a cannon ball"},
{73, 77, 193, "a cat: 5 variants"},
{78, 78, 58, "a piece of chicken"},
{79, 79, 92, "a shield (mirror of 91)"},
{80, 80, 93, "a breadboard"},
{81, 82, 158, "a coin: 2 variants"},
{83, 83, 94, "an arrow"},
{84, 84, 95, "a bench"},
{85, 92, 168, "door face: 8 variants"},
{93, 100, 169, "door face (mirror of 168): 8 variants"},
{101, 105, 166, "door frame far: 5 variants"},
{106, 110, 167, "door frame far (mirror of 166): 5 variants"},
{111, 115, 164, "door frame near: 5 variants"},
{116, 120, 165, "door frame near (mirror of 164): 5 variants"},
{121, 125, 162, "door frame top: 5 variants"},
{126, 130, 163, "door frame top (mirror of 162): 5 variants"},
{131, 134, 146, "a fire: 4 animation frames"},
{135, 135, IMAGE_OWNER_NONE, "torch light glow"},
{136, 136, 49, "a bag of gold"},
{137, 137, 96, "a bench (mirror of 95)"},
{138, 138, 97, "a bench"},
{139, 139, 29, "Hidden door"},
{140, 140, 30, "Hidden door (mirror of 29)"},
{141, 141, 110, "a hidden door"},
{142, 142, 47, "an hourglass"},
{143, 152, 0, "Ondel facing 0: walk frames 0..9"},
{155, 164, 0, "Ondel facing 1: walk frames 0..9"},
{167, 176, 0, "Ondel facing 2: walk frames 0..9"},
{179, 188, 0, "Ondel facing 3: walk frames 0..9"},
{189, 189, 98, "a metal table"},
{190, 190, 101, "a mummy"},
{191, 191, 48, "a jug of water"},
{192, 192, 46, "a key"},
{193, 197, 150, "a lamp: 5 animation frames"},
{198, 199, 74, "a loft door: 2 variants"},
{200, 200, 102, "a mummy (mirror of 101)"},
{201, 201, 60, "monks 60 and 73 facing 0"},
{202, 202, 60, "monks 60 and 73 facing 1"},
{203, 203, 60, "monks 60 and 73 facing 2"},
{204, 204, 60, "monks 60 and 73 facing 3"},
{205, 205, 104, "a small red cross"},
{206, 206, 105, "a small red cross (mirror of 104)"},
{207, 207, 156, "blank: Room part and the empty definitions 99, 100, 140..143"},
{208, 210, 103, "an Ogre facing 0"},
{211, 213, 103, "an Ogre facing 1"},
{214, 216, 103, "an Ogre facing 2"},
{217, 219, 103, "an Ogre facing 3"},
{220, 220, 106, "tomb"},
{221, 221, 107, "tomb"},
{222, 222, 108, "tomb"},
{223, 223, 109, "tomb"},
{224, 224, 112, "a window (mirror of 111)"},
{225, 225, 113, "a window"},
{226, 226, 123, "a portcullis"},
{227, 229, 59, "a potion: 3 variants"},
{230, 230, 114, "a window (mirror of 113)"},
{231, 231, 115, "a window"},
{232, 232, 116, "a window (mirror of 115)"},
{233, 233, 117, "a window"},
{234, 234, 118, "a window (mirror of 117)"},
{235, 235, 119, "a window"},
{236, 236, 120, "a window (mirror of 119)"},
{237, 237, 121, "a stone block"},
{238, 238, 122, "a stone column"},
{239, 239, 124, "a pole"},
{240, 240, 125, "a bar"},
{241, 241, 126, "a wooden step"},
{242, 242, 127, "a wooden step (mirror of 126)"},
{243, 243, 128, "a tree trunk"},
{244, 244, 129, "a tree trunk"},
{245, 245, 130, "a tree top"},
{246, 246, 131, "a tree top"},
{247, 247, 132, "a tree top"},
{248, 248, 133, "a bush"},
{249, 249, 134, "a bush"},
{250, 250, 136, "a BOULDER"},
{251, 251, 137, "a BOULDER"},
{252, 252, 138, "a bush"},
{253, 253, 139, "a bush"},
{254, 254, 144, "a small set of shelves"},
{255, 255, 145, "a small set of shelves (mirror of 144)"},
{256, 256, 147, "a well side"},
{257, 257, 148, "a well side"},
{258, 258, 149, "a well post"},
{259, 259, 151, "a plynth"},
{260, 260, 152, "a small table"},
{261, 264, 153, "some smoke: 4 animation frames"},
{265, 265, 154, "some onions"},
{266, 266, 155, "a bush"},
{267, 267, 157, "a silver plate"},
{268, 268, 159, "a skull"},
{269, 269, 160, "a bone"},
{270, 270, 161, "a bone (mirror of 160)"},
{271, 271, 171, "candle base"},
{272, 272, 172, "candle middle"},
{273, 273, 173, "candle top"},
{274, 274, 174, "throne base"},
{275, 275, 175, "throne back"},
{276, 276, 176, "throne back (mirror of 175)"},
{277, 277, 177, "throne side"},
{278, 278, IMAGE_OWNER_NONE, "opening reveal mask"},
{279, 279, 178, "throne side (mirror of 177)"},
{280, 280, 179, "small stone block"},
{281, 281, 180, "small stone column"},
{282, 282, 181, "a rock"},
{283, 283, 182, "a rock (mirror of 181)"},
{284, 284, 183, "a rock"},
{285, 285, 184, "a rock (mirror of 183)"},
{286, 286, 185, "a rock"},
{287, 287, 186, "a rock (mirror of 185)"},
{288, 288, 187, "a rock"},
{289, 289, 188, "a rock (mirror of 187)"},
{290, 290, 189, "a rock"},
{291, 291, 190, "a rock"},
{292, 292, 191, "a box"},
{293, 293, 192, "a small table"},
{319, 319, 7, "Step 3 -  1"},
{320, 320, 8, "Step 3 -  2"},
{321, 321, 9, "Step 3 -  3"},
{322, 322, 10, "Step 3 -  4"},
{323, 323, 11, "Step 3 -  5"},
{324, 324, 12, "Step 3 -  6"},
{325, 325, 13, "Step 3 -  7"},
{326, 326, 14, "Step 3 -  8"},
{327, 327, 15, "Step 3 -  9"},
{328, 331, 16, "Step 3 -  10: 4 variants"},
{332, 332, 17, "Step 4 -  1"},
{333, 333, 18, "Step 4 -  2"},
{334, 334, 19, "Step 4 -  3"},
{335, 335, 20, "Step 4 -  4"},
{336, 336, 21, "Step 4 -  5"},
{337, 337, 22, "Step 4 -  6"},
{338, 338, 23, "Step 4 -  7"},
{339, 339, 24, "Step 4 -  8"},
{340, 340, 25, "Step 4 -  9"},
{341, 344, 26, "Step 4 -  10: 4 variants"},
{345, 345, 1, "Step 1 -  1"},
{346, 346, 2, "Step 1 -  2"},
{347, 347, 3, "Step 1 -  3"},
{348, 348, 4, "Step 2 -  1"},
{349, 349, 5, "Step 2 -  2"},
{350, 350, 6, "Step 2 -  3"},
{358, 361, 31, "a table: 4 variants"},
{362, 365, 32, "a table (mirror of 31): 4 variants"},
{372, 411, IMAGE_OWNER_NONE, "room side faces, left (wall_left 0..39)"},
{412, 451, IMAGE_OWNER_NONE, "room side faces, right (wall_right 0..39)"},
{453, 495, IMAGE_OWNER_NONE, "floor tiles 1..43"},
{496, 500, 71, "a torch: 5 animation frames"},
{511, 513, 61, "trolls 61, 62, 63 facing 0"},
{518, 520, 61, "trolls 61, 62, 63 facing 1"},
{525, 527, 61, "trolls 61, 62, 63 facing 2"},
{532, 534, 61, "trolls 61, 62, 63 facing 3"},
{547, 547, 111, "a window"},
};
// clang-format on

const int image_range_count = static_cast<int>(sizeof image_ranges / sizeof image_ranges[0]);

// Start-up refuses a game datafile shorter than the table: the rows are in
// index order, so the last one ends the images the game draws.
static_assert(image_ranges[sizeof image_ranges / sizeof image_ranges[0] - 1].last + 1 ==
                  CUSTOM_ENTRIES_USED,
              "CUSTOM_ENTRIES_USED must end where the image table ends");

int find_image_range(int index)
{
    for (int i = 0; i < image_range_count; i++) {
        if (index >= image_ranges[i].first && index <= image_ranges[i].last) {
            return i;
        }
    }
    return -1;
}

int image_owner(int index)
{
    int row = find_image_range(index);
    return row < 0 ? IMAGE_OWNER_NONE : image_ranges[row].owner_def;
}

int definition_images(int def, int *out)
{
    if (def < 0 || def >= OBJECT_DEF_COUNT) {
        return 0;
    }
    const object_def &d = object_defs[def];
    int frames = d.anim_frames < 1 ? 1 : d.anim_frames;
    int facings = d.frames_per_facing != 0 ? FACING_COUNT : 1;
    int count = 0;
    for (int facing = 0; facing < facings; facing++) {
        for (int i = 0; i < frames && i < OBJECT_MAX_FRAMES; i++) {
            int image = facing * d.frames_per_facing + d.frames[i];
            int at = 0;
            while (at < count && out[at] < image) {
                at++;
            }
            if (at < count && out[at] == image) {
                continue;
            }
            for (int k = count; k > at; k--) {
                out[k] = out[k - 1];
            }
            out[at] = image;
            count++;
        }
    }
    return count;
}
