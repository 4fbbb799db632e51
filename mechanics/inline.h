// Forcing a small step inline, so that each hot loop around it is compiled
// as if the step were written out there (the compiler's own choice sometimes
// keeps a call in the innermost loop).
#pragma once

#define DOMICA_INLINE inline __attribute__((always_inline))
