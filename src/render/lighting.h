// Lighting: the room's darkness and the glow of its torches.
#pragma once

// Darkens the back buffer for the current room.
void apply_lighting(void);
