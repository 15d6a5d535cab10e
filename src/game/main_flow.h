// The program's top: start-up, the world loaded, the title screen, one game
// and the teardown.
#pragma once

// Where load_world takes the rooms, polygons, world objects and texts from.
constexpr int WORLD_FROM_DATA_FOLDER = 0; // the world files of data_folder
constexpr int WORLD_HANDED_OVER = 1;      // tables the caller has filled already

// The whole program: start, title screen, one game, teardown. Returns 0.
int main_flow(void);

// Brings up the world in the one order every start uses: catalogue, texts,
// world objects, trigger table, sprite table, rooms cleared, triggers
// re-armed, rooms and polygons. With WORLD_HANDED_OVER the steps that read
// files are left out and the tables stay as the caller filled them.
void load_world(int source);
