// A linear congruential generator with the constants of the Windows C
// runtime, so values match the platform the game was first made for.
#include "platform/random.h"

static unsigned int rand_state = 1;

void runtime_srand(unsigned int seed)
{
    rand_state = seed;
}

int runtime_rand(void)
{
    rand_state = rand_state * 214013u + 2531011u;
    return static_cast<int>((rand_state >> 16) & RUNTIME_RAND_MAX);
}
