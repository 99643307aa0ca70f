#include "platform/core/resources.h"

#include <algorithm>

namespace afx {
namespace {
std::vector<const ResourceSet*>& Sets() {
    static std::vector<const ResourceSet*> sets;
    return sets;
}

template <class List, class Pred>
auto FindIn(List ResourceSet::*member, Pred pred) -> const typename List::value_type* {
    auto& sets = Sets();
    for (auto it = sets.rbegin(); it != sets.rend(); ++it) {
        const List& list = (*it)->*member;
        for (const auto& e : list)
            if (pred(e)) return &e;
    }
    return nullptr;
}
}  // namespace

void AddResources(const ResourceSet* set) {
    auto& sets = Sets();
    if (set && std::find(sets.begin(), sets.end(), set) == sets.end()) sets.push_back(set);
}

void RemoveResources(const ResourceSet* set) {
    auto& sets = Sets();
    sets.erase(std::remove(sets.begin(), sets.end(), set), sets.end());
}

const char* FindString(UINT id) {
    const StringEntry* e = FindIn(&ResourceSet::strings, [id](const StringEntry& s) { return s.id == id; });
    return e ? e->text : nullptr;
}

const DialogTemplate* FindDialog(UINT id) {
    return FindIn(&ResourceSet::dialogs, [id](const DialogTemplate& d) { return d.id == id; });
}

const MenuTemplate* FindMenu(UINT id) {
    return FindIn(&ResourceSet::menus, [id](const MenuTemplate& m) { return m.id == id; });
}

const AcceleratorTable* FindAccelerators(UINT id) {
    return FindIn(&ResourceSet::accelerators, [id](const AcceleratorTable& a) { return a.id == id; });
}

const ToolbarTemplate* FindToolbar(UINT id) {
    return FindIn(&ResourceSet::toolbars, [id](const ToolbarTemplate& t) { return t.id == id; });
}

bool FindPaletteColour(char key, COLORREF* colour) {
    const PaletteEntry* e = FindIn(&ResourceSet::palette, [key](const PaletteEntry& p) { return p.key == key; });
    if (!e) return false;
    if (colour) *colour = e->colour;
    return true;
}

}  // namespace afx
