#pragma once
// Copies of a whole long paragraph's text the layout makes or makes Qt make: Qt's own
// copy, taken for the block's QTextLayout after every edit of it, and the segments' copy
// after a wide edit. While a TBigCopy lives, memory is taken as the program set with
// SetHooks (pages used before rather than fresh ones, which cost more than the copy);
// by default as always.
#include <functional>

class TBigCopy {
public:
    using Hook = void (*)();
    static void SetHooks(Hook begin, Hook end);

    // Each kind of copy is freed and made again, a little longer after typing: Qt's on
    // the first caret move after every edit, the segments' after every wide edit.
    // Made, as a TBigCopy, by the runner set here, which is to give each kind memory
    // apart from everything else, so that the pages its last copy freed are there for
    // the next one whatever its length (by default right here).
    enum class Kind { QtLayout, Segments };
    using Runner = void (*)(int kind, const std::function<void()>& copy);
    static void SetRunner(Runner runner);
    static void Make(Kind kind, const std::function<void()>& copy);

    TBigCopy();
    ~TBigCopy();
    TBigCopy(const TBigCopy&) = delete;
    TBigCopy& operator=(const TBigCopy&) = delete;
};
