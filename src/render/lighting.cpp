// Lighting (the darkness map and the torch glow arrive with the lit rooms;
// until then every room is fully lit).
#include "render/lighting.h"

int lighting_enabled = 1;

void apply_lighting(void)
{
}
