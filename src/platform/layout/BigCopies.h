#pragma once
// Copies of a whole long paragraph's text the layout makes or makes Qt make: Qt's own
// copy, taken for the block's QTextLayout after every edit of it, and the segments' copy
// after a wide edit. While a TBigCopy lives, memory is taken as the program set with
// SetHooks (pages used before rather than fresh ones, which cost more than the copy);
// by default as always.
class TBigCopy {
public:
    using Hook = void (*)();
    static void SetHooks(Hook begin, Hook end);

    TBigCopy();
    ~TBigCopy();
    TBigCopy(const TBigCopy&) = delete;
    TBigCopy& operator=(const TBigCopy&) = delete;
};
