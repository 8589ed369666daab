#include "support/heap_pattern.h"

#include <malloc.h>

CHeapPattern::CHeapPattern(int byte)
{
    mallopt(M_PERTURB, byte);
}

CHeapPattern::~CHeapPattern()
{
    mallopt(M_PERTURB, 0);
}
