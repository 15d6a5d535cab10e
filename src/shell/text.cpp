// Text background shared by every text call.
#include "render/text.h"

int text_bg = 0;

void text_mode_transparent(void)
{
    text_bg = -1;
}
