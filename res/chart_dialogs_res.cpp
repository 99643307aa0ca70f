// Templates of the chart dialogs (coordinates in dialog units).
#include "res/chart_resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> ChartDialogTemplates() {
    return {
        {IDD_SELECTED_SAMPLES, "Identificadores Selecionadas", {0, 0, 230, 206},
         {
             {Ctl::ListCtrl, IDC_SELECTED_LIST, "", {7, 7, 216, 120}},
             {Ctl::GroupBox, -1, "Rectangulo de Selecção", {7, 132, 216, 46}},
             {Ctl::Static, -1, "Superior Esquerdo:", {14, 146, 70, 8}},
             {Ctl::Static, IDC_SELECTED_FIRST_CORNER, "", {88, 146, 128, 8}},
             {Ctl::Static, -1, "Inferior Direito:", {14, 161, 70, 8}},
             {Ctl::Static, IDC_SELECTED_SECOND_CORNER, "", {88, 161, 128, 8}},
             {Ctl::PushButton, IDOK, "OK", {90, 185, 50, 14}, Style::Default},
         }},
    };
}

}  // namespace tabulon_res
