#pragma once
// The main window's commands as data: actions, menus and toolbar, in their order.
#include <vector>

class TSDIAppForm;

using FormHandler = void (TSDIAppForm::*)();

// Actions whose behaviour is the desktop's own edit command on the focused control.
enum class StandardEdit { None, Cut, Copy, Paste };

struct ActionRow {
    const char* name;
    const char* category;
    const char* caption;
    const char* hint;      // "short|long"; empty for none
    int image;             // -1 for none
    const char* shortcut;  // portable key text; empty for none
    FormHandler handler;
    StandardEdit standard;
};

// One menu entry: bound to an action, a separator, or an item with its own caption,
// hint, shortcut and handler.
struct MenuRow {
    const char* menu;  // the menu's component name
    const char* name;  // the item's component name
    const char* action;  // bound action; nullptr for an item of its own or a separator
    const char* caption;  // own caption; nullptr for a separator or a bound item
    const char* hint;
    const char* shortcut;
    FormHandler handler;
};

struct TopMenuRow {
    const char* name;
    const char* caption;
    const char* hint;
};

enum class ButtonStyle { Plain, Check, GroupedCheck };

struct ToolBarRow {
    const char* name;    // button name; nullptr for a separator
    const char* action;
    const char* ownHint;  // nullptr: the action's hint
    ButtonStyle style;
};

struct ImageRow {
    const char* themeName;
    const char* fallback;
};

const std::vector<ActionRow>& MainActionTable();
const std::vector<TopMenuRow>& MainMenuTable();
const std::vector<MenuRow>& MenuItemTable();  // main menu items and the popup menu's
const std::vector<ToolBarRow>& ToolBarTable();
const std::vector<ImageRow>& ImageTable();
