// The template of the folder chooser (coordinates in dialog units).
#include "res/resources.h"
#include "ui/folder_dialog.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> FolderDialogTemplates() {
    return {
        {IDD_FOLDER_DIALOG, "Select Folder", {0, 0, 276, 194},
         {
             {Ctl::Static, -1, "Look in:", {7, 10, 34, 8}},
             {Ctl::Static, IDC_FOLDER_SHOWN, "", {42, 10, 166, 8}},
             {Ctl::PushButton, IDC_FOLDER_UP, "Up One Level", {212, 7, 57, 14}},
             {Ctl::ListBox, IDC_FOLDER_LIST, "", {7, 26, 262, 118}},
             {Ctl::Static, IDC_FOLDER_LABEL, "Folder:", {7, 155, 34, 8}},
             {Ctl::Edit, IDC_FOLDER_EDIT, "", {42, 153, 227, 12}},
             {Ctl::PushButton, IDC_FOLDER_OPEN, "Open", {163, 173, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancel", {219, 173, 50, 14}},
         }},
    };
}

}  // namespace tabulon_res
