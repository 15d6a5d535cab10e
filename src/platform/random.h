// The runtime library's pseudo-random generator, with the same sequence on
// every platform so that a seeded run repeats exactly.
#pragma once

constexpr int RUNTIME_RAND_MAX = 32767;

void runtime_srand(unsigned int seed);
// 0 .. RUNTIME_RAND_MAX.
int runtime_rand(void);
