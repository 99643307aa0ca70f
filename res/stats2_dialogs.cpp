// Templates of the histogram's class-count page (coordinates in dialog units).
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> Stats2DialogTemplates() {
    return {
        {173, "Selecionar o Número de Classes para Cada Variável", {0, 0, 262, 170},
         {
             {Ctl::ListBox, 1078, "", {10, 10, 130, 150}, Style::VScroll},
             {Ctl::Static, -1, "Número de Classes (5-25):", {150, 12, 100, 10}},
             {Ctl::Edit, 1000, "", {150, 26, 40, 13}},
             {Ctl::PushButton, 1141, "Todas Variáveis", {150, 46, 70, 14}},
             {Ctl::PushButton, 1193, "Anterior", {150, 106, 50, 14}},
             {Ctl::PushButton, 1192, "Seguinte", {204, 106, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {204, 146, 50, 14}},
         }},
    };
}

}  // namespace tabulon_res
