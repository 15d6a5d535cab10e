// Text background shared by every text call.
#include "shell/text.h"

int text_bg = 0;

void text_mode_transparent(void)
{
    text_bg = -1;
}
