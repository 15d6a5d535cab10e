// Creature behaviours (the behaviours arrive with the creatures themselves).
#include "physics/creatures.h"

void update_creatures(void)
{
}
