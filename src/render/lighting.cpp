// Lighting (the darkness map and the torch glow arrive with the lit rooms;
// until then every room is fully lit).
#include "render/lighting.h"

void apply_lighting(void)
{
}
