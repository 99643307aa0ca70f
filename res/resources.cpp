#include "res/resources.h"

namespace tabulon_res {
std::vector<afx::StringEntry> Strings();
std::vector<afx::MenuTemplate> Menus();
std::vector<afx::AcceleratorTable> Accelerators();
std::vector<afx::ToolbarTemplate> Toolbars();
std::vector<afx::PaletteEntry> Palette();
std::vector<afx::DialogTemplate> Dialogs();
std::vector<afx::DialogTemplate> BaseDialogs();
std::vector<afx::DialogTemplate> FolderDialogTemplates();
std::vector<afx::DialogTemplate> StatsDialogTemplates();
std::vector<afx::DialogTemplate> ClassificationDialogs();
}  // namespace tabulon_res

const afx::ResourceSet& TabulonResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.strings = tabulon_res::Strings();
        s.menus = tabulon_res::Menus();
        s.accelerators = tabulon_res::Accelerators();
        s.toolbars = tabulon_res::Toolbars();
        s.palette = tabulon_res::Palette();
        s.dialogs = tabulon_res::Dialogs();
        for (auto& d : tabulon_res::BaseDialogs()) s.dialogs.push_back(d);
        for (auto& d : tabulon_res::FolderDialogTemplates()) s.dialogs.push_back(d);
        for (auto& d : tabulon_res::StatsDialogTemplates()) s.dialogs.push_back(d);
        for (auto& d : tabulon_res::ClassificationDialogs()) s.dialogs.push_back(d);
        return s;
    }();
    return set;
}

void RegisterTabulonResources() { afx::AddResources(&TabulonResources()); }
