// The item steps of the player's tick (select, use, examine, pick up), kept
// apart from the movement rules; player_actions runs them in its order.
#pragma once

// 1 when wobj names a world object other than the player's.
int valid_world_object(int wobj);
// The carried item in the selected slot, or EMPTY_SLOT.
int selected_item(void);

// Slot keys: the last one held wins.
void slot_selection_step(void);
// Using the selected item; food is eaten.
void use_step(void);
// Opening or closing the examine panel.
void examine_step(void);
// The pick-up itself, once per press.
void pick_up_step(void);
