// Templates of the histogram, boxplot, scatter-diagram, regression and conditioning pages (coordinates in dialog
// units).
#include "res/chart_resource_ids.h"
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
        {175, "Características do BoxPlot", {0, 0, 200, 120},
         {
             {Ctl::GroupBox, -1, "Multiplas Variáveis", {7, 7, 186, 50}},
             {Ctl::Radio, 1027, "Sim", {15, 20, 40, 10}, Style::Group},
             {Ctl::Radio, 1028, "Não", {15, 34, 40, 10}},
             {Ctl::Static, -1, "Número de Variáveis (2-5):", {70, 20, 90, 10}},
             {Ctl::Edit, 1145, "", {160, 18, 25, 13}},
             {Ctl::CheckBox, 1120, "Identificação de Valores Anómalos", {7, 66, 186, 10}},
             {Ctl::PushButton, 1193, "Anterior", {35, 99, 50, 14}},
             {Ctl::PushButton, 1192, "Seguinte", {89, 99, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {143, 99, 50, 14}},
         }},
        {176, "", {0, 0, 338, 226},
         {
             {Ctl::GroupBox, -1, "Variável para o Eixo Y", {7, 7, 100, 150}},
             {Ctl::CheckList, 1146, "", {13, 19, 88, 132}, Style::VScroll},
             {Ctl::GroupBox, -1, "Variáveis para o Eixo X", {113, 7, 100, 150}},
             {Ctl::CheckList, 1079, "", {119, 19, 88, 132}, Style::VScroll},
             {Ctl::PushButton, 1139, "Selecionar Todas", {119, 162, 88, 14}},
             {Ctl::GroupBox, -1, "Selecção de Identificador das Linhas", {219, 7, 112, 92}},
             {Ctl::Radio, 1152, "Default (Linhas)", {225, 19, 90, 10}, Style::Group},
             {Ctl::Radio, 1153, "Outro", {225, 31, 90, 10}},
             {Ctl::CheckList, 1154, "", {225, 43, 100, 50}, Style::VScroll},
             {Ctl::GroupBox, -1, "Selecção do Condicionamento", {219, 103, 112, 54}},
             {Ctl::CheckList, 1155, "", {225, 115, 100, 36}, Style::VScroll},
             {Ctl::PushButton, 1192, "Seguinte", {227, 205, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {281, 205, 50, 14}},
         }},
        {188, "Selecionar Condicionamento", {0, 0, 170, 150},
         {
             {Ctl::CheckList, 1078, "", {7, 7, 156, 112}, Style::VScroll},
             {Ctl::PushButton, IDOK, "Seguinte", {59, 129, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Sair", {113, 129, 50, 14}},
         }},
        {177, "Regressão Linear", {0, 0, 445, 250},
         {
             {Ctl::Custom, IDC_CHART_AREA, "", {7, 7, 300, 215}, Style::Border},
             {Ctl::ListBox, IDC_PAGE_LIST, "", {314, 7, 124, 70}, Style::VScroll},
             {Ctl::CheckBox, IDC_SHOW_IDENTIFIERS, "Mostrar todos os Identificadores", {314, 84, 124, 10}, Style::Hidden},
             {Ctl::CheckBox, IDC_SHOW_CONDITIONING, "Mostrar Condicionante", {314, 99, 124, 10}, Style::Hidden},
             {Ctl::Radio, IDC_PLANES_ACTIVE, "Activas", {314, 118, 124, 10}, Style::Hidden},
             {Ctl::Radio, IDC_PLANES_SUPPLEMENTARY, "Suplementares", {314, 130, 124, 10}, Style::Hidden},
             {Ctl::Radio, IDC_PLANES_COMBINED, "Activas + Suplementares", {314, 142, 124, 10}, Style::Hidden},
             {Ctl::GroupBox, -1, "Gráficos", {314, 112, 124, 76}},
             {Ctl::PushButton, 1149, "Entre Variáveis", {324, 126, 104, 14}},
             {Ctl::PushButton, 1147, "Y / Resíduos", {324, 146, 104, 14}},
             {Ctl::PushButton, 1148, "Y* / Resíduos", {324, 166, 104, 14}},
             {Ctl::PushButton, IDC_OPTIONS_TOGGLE, ">>", {314, 196, 124, 14}, Style::Hidden},
             {Ctl::PushButton, IDC_CHART_PREVIOUS, "Anterior", {331, 229, 50, 14}},
             {Ctl::PushButton, IDCANCEL, "Sair", {388, 229, 50, 14}, Style::Default},
         }},
    };
}

}  // namespace tabulon_res
