#pragma once

// While it lives, every block the C allocator hands out is filled with a
// pattern derived from byte (and every freed block with byte itself), as
// MALLOC_PERTURB_ does for a whole process. Code that reads memory it never
// wrote then gives results that depend on the pattern, which a test can see
// by running the same work under two patterns. Byte 0 switches it off.
class CHeapPattern {
public:
    explicit CHeapPattern(int byte);
    ~CHeapPattern();
    CHeapPattern(const CHeapPattern&) = delete;
    CHeapPattern& operator=(const CHeapPattern&) = delete;
};
