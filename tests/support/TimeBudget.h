#pragma once
// Time limits of tests, such as how long a test waits for a dialog to appear. The limits are set for an ordinary optimised build; a sanitizer build
// (TESSERINE_SANITIZE) runs every instrumented line several times slower, so there the
// same limits are stretched to still catch a hang or a blow-up without failing on the
// instrumentation's own cost.
#include <QtGlobal>

#ifdef TESSERINE_SANITIZED
inline constexpr qint64 kTimeBudgetScale = 10;
#else
inline constexpr qint64 kTimeBudgetScale = 1;
#endif

// The limit of milliseconds for this build.
constexpr qint64 TimeBudgetMs(qint64 milliseconds)
{
    return milliseconds * kTimeBudgetScale;
}
