#pragma once
// The rich-edit control as the benchmarks measure it: an 800 × 600 window shown on the
// screen, with the main window's formatting rectangle.
#include "platform/richedit/RichEdit.h"

#include <QTest>

// Shows edit and sets its formatting rectangle; false when the window was not exposed.
inline bool ShowBenchEdit(TRichEdit& edit)
{
    edit.resize(800, 600);
    edit.show();
    const bool exposed = QTest::qWaitForWindowExposed(&edit);
    edit.SetFormattingRect(10, 10, 624, 560);
    return exposed;
}
