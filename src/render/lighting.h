// Lighting: the room's darkness and the glow of its torches.
#pragma once

// Darkens the back buffer for the current room.
void apply_lighting(void);

// 0 leaves every room fully lit (the room picture tool's unlit pictures).
extern int lighting_enabled;
