#pragma once

// Marks a function whose loops the compiler turns into vector instructions: on x86-64 it is
// compiled twice, for processors with AVX2 and FMA (x86-64-v3: vectors twice as wide, and
// multiplications fused with the additions that follow them) and for the rest, and the loader
// picks the one the processor can run.
#if defined(__x86_64__) && defined(__ELF__)
#define CANTOVA_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define CANTOVA_VECTOR_CLONES
#endif
