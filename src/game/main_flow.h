// The program's top: start-up, the world loaded, the title screen, one game
// and the teardown.
#pragma once

// The whole program: start, title screen, one game, teardown. Returns 0.
int main_flow(void);

// The world from the data folder: catalogue, texts, world objects, rooms and
// polygons, then bring_up_world readies them for a game as the room
// editor's try does.
void load_world(void);
