#include "platform/layout/BigCopies.h"

namespace {

TBigCopy::Hook beginHook = nullptr;
TBigCopy::Hook endHook = nullptr;
TBigCopy::Runner runner = nullptr;

} // namespace

void TBigCopy::SetHooks(Hook begin, Hook end)
{
    beginHook = begin;
    endHook = end;
}

void TBigCopy::SetRunner(Runner run)
{
    runner = run;
}

void TBigCopy::Make(Kind kind, const std::function<void()>& copy)
{
    const TBigCopy big;
    if (runner)
        runner(static_cast<int>(kind), copy);
    else
        copy();
}

TBigCopy::TBigCopy()
{
    if (beginHook)
        beginHook();
}

TBigCopy::~TBigCopy()
{
    if (endHook)
        endHook();
}
