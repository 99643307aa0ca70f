// Templates of the statistics dialogs (coordinates in dialog units).
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> StatsDialogTemplates() {
    return {
        {171, "Estatísticas Descritivas", {0, 0, 500, 216},
         {
             {Ctl::ListCtrl, 1078, "", {7, 7, 486, 180}, Style::HScroll | Style::VScroll},
             {Ctl::PushButton, 1193, "Anterior", {385, 195, 50, 14}},
             {Ctl::PushButton, IDCANCEL, "Sair", {443, 195, 50, 14}},
         }},
    };
}

}  // namespace tabulon_res
