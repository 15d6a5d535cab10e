// Creature behaviours: watch, patrol along x or y, chase.
#pragma once

void update_creatures(void);
