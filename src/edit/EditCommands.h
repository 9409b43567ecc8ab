#pragma once
// The edit commands' rule for which commands are enabled.

struct CommandStateInputs {
    bool canUndo = false;
    int selectionLength = 0;
    int clipboardTextLength = 0;
    int lineCount = 0;
    bool lastFindTextEmpty = true;      // the standard search's text
    bool lastFindWordEmpty = true;      // the foreign-language search's text
};

struct CommandState {
    bool undo = false;
    bool selection = false;   // cut, copy, delete
    bool paste = false;
    bool document = false;    // select all, find, replace, foreign-language search
    bool findNext = false;
    bool foreignFindNext = false;
};

// Undo follows the control; cut, copy and delete a non-empty selection; paste any
// clipboard text; the rest a document of at least one line, find-next and the
// foreign find-next also a stored search text.
CommandState ComputeCommandState(const CommandStateInputs& in);
