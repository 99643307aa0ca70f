// Resource tables (string table, dialog templates, menus, accelerators, toolbars).
// The application supplies them as data; the platform builds windows from them.
#pragma once

#include <vector>

#include "platform/core/win_types.h"

namespace afx {

enum class Ctl {
    PushButton,   // a push button (Style::Default makes it the default button)
    CheckBox,
    Radio,
    GroupBox,
    Static,       // a text label
    Edit,
    ListBox,
    CheckList,    // a list box with a tick box per item
    ComboBox,     // a drop-down list
    ListCtrl,     // a report-style list control
    Progress,
    Custom,       // a plain child window drawn by its owner (charts)
    Icon,         // the application's icon
    Slider,       // a horizontal track bar
};

namespace Style {
constexpr DWORD None = 0;
constexpr DWORD Default = 1u << 0;      // default push button
constexpr DWORD Disabled = 1u << 1;
constexpr DWORD Hidden = 1u << 2;
constexpr DWORD Multiline = 1u << 3;
constexpr DWORD ReadOnly = 1u << 4;
constexpr DWORD Sort = 1u << 5;
constexpr DWORD Right = 1u << 6;        // right-aligned text
constexpr DWORD Center = 1u << 7;       // centred text
constexpr DWORD Group = 1u << 8;        // first control of a radio group
constexpr DWORD Border = 1u << 9;
constexpr DWORD VScroll = 1u << 10;
constexpr DWORD HScroll = 1u << 11;
constexpr DWORD ExtendedSel = 1u << 12; // several items selectable
constexpr DWORD NoHeader = 1u << 13;
constexpr DWORD SingleSel = 1u << 14;
constexpr DWORD AutoHScroll = 1u << 15;
constexpr DWORD Number = 1u << 16;      // digits only
constexpr DWORD WantReturn = 1u << 17;
constexpr DWORD Sunken = 1u << 18;
constexpr DWORD NoTabStop = 1u << 19;
constexpr DWORD MultiColumn = 1u << 20;  // list box: items in columns, scrolled sideways
}  // namespace Style

struct ControlTemplate {
    Ctl kind;
    int id;
    const char* text;
    RECT rect;        // x, y, width, height in dialog units (left, top, right=width, bottom=height)
    DWORD style = Style::None;
};

struct DialogTemplate {
    UINT id;
    const char* caption;
    RECT rect;        // x, y, width, height in dialog units
    std::vector<ControlTemplate> controls;
};

struct MenuItem {
    const char* text;     // nullptr for a separator
    UINT id = 0;          // command id; 0 for a popup
    std::vector<MenuItem> popup;
};

struct MenuTemplate {
    UINT id;
    std::vector<MenuItem> items;  // the menu bar (or the list of popups)
};

// Accelerator flags.
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct AcceleratorEntry {
    BYTE flags;
    WORD key;   // virtual-key code
    UINT command;
};

struct AcceleratorTable {
    UINT id;
    std::vector<AcceleratorEntry> entries;
};

struct ToolbarTemplate {
    UINT id;
    int buttonWidth;
    int buttonHeight;
    std::vector<UINT> commands;          // 0 is a separator
    // One picture per button (not per separator): buttonHeight rows of buttonWidth
    // characters; each character is a colour of the palette below, ' ' is transparent.
    std::vector<std::vector<const char*>> pictures;
};

struct PaletteEntry {
    char key;
    COLORREF colour;
};

struct StringEntry {
    UINT id;
    const char* text;
};

struct ResourceSet {
    std::vector<StringEntry> strings;
    std::vector<DialogTemplate> dialogs;
    std::vector<MenuTemplate> menus;
    std::vector<AcceleratorTable> accelerators;
    std::vector<ToolbarTemplate> toolbars;
    std::vector<PaletteEntry> palette;
};

// Adds a set of resources; later sets are searched first (tests may add their own).
void AddResources(const ResourceSet* set);
void RemoveResources(const ResourceSet* set);

const char* FindString(UINT id);
const DialogTemplate* FindDialog(UINT id);
const MenuTemplate* FindMenu(UINT id);
const AcceleratorTable* FindAccelerators(UINT id);
const ToolbarTemplate* FindToolbar(UINT id);
bool FindPaletteColour(char key, COLORREF* colour);

}  // namespace afx
