// The world objects, counters and places the castle's event script names.
// The ids are fixed in the world files (content/world gives each of these
// objects its id); what each one is in the castle is said beside it.
#pragma once

// The offerings: four relics that, brought to the altar, each light one of
// the four seals; when all four are lit the reward appears.
constexpr int SCRIPT_ALTAR = 602;
constexpr int SCRIPT_OFFERING_1 = 1203;
constexpr int SCRIPT_OFFERING_2 = 363;
constexpr int SCRIPT_OFFERING_3 = 1112;
constexpr int SCRIPT_OFFERING_4 = 364;
constexpr int SCRIPT_MARKER_1 = 703;
constexpr int SCRIPT_MARKER_2 = 704;
constexpr int SCRIPT_MARKER_3 = 705;
constexpr int SCRIPT_MARKER_4 = 1964;
constexpr int SCRIPT_MARKER_1_FRAME = 4;
constexpr int SCRIPT_MARKER_2_FRAME = 5;
constexpr int SCRIPT_MARKER_3_FRAME = 6;
constexpr int SCRIPT_MARKER_4_FRAME = 7;
constexpr int SCRIPT_OFFERING_COUNTER = 0;
constexpr int SCRIPT_OFFERINGS_NEEDED = 4;
constexpr int SCRIPT_REWARD = 2008;
constexpr int SCRIPT_REWARD_ROOM = 57; // named by the action; placed where the player is
constexpr int SCRIPT_REWARD_X = 20;
constexpr int SCRIPT_REWARD_Y = 56;
constexpr int SCRIPT_REWARD_Z = 12;

// The charm: touched to the charmed thing it turns it into something new,
// which in turn dissolves the barrier it is brought to.
constexpr int SCRIPT_CHARM = 1115;
constexpr int SCRIPT_CHARMED_THING = 894;
constexpr int SCRIPT_CHARM_RESULT = 2047;
constexpr int SCRIPT_BARRIER = 763;

// An item whose use asks for a picture to be shown (nothing shows it yet).
constexpr int SCRIPT_USABLE = 2019;
constexpr int SCRIPT_SHOW_PARAM = 0;
constexpr int SCRIPT_SHOW_X = 220;
constexpr int SCRIPT_SHOW_Y = 15;
constexpr int SCRIPT_SHOW_VALUE = 200;
