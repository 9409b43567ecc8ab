#include "platform/layout/BigCopies.h"

namespace {

TBigCopy::Hook beginHook = nullptr;
TBigCopy::Hook endHook = nullptr;

} // namespace

void TBigCopy::SetHooks(Hook begin, Hook end)
{
    beginHook = begin;
    endHook = end;
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
