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
        {IDD_CHART_WINDOW, "", {0, 0, 445, 250},
         {
             {Ctl::Custom, IDC_CHART_AREA, "", {7, 7, 300, 215}, Style::Border},
             {Ctl::ListBox, IDC_PAGE_LIST, "", {314, 7, 124, 70}, Style::VScroll},
             {Ctl::CheckBox, IDC_SHOW_IDENTIFIERS, "Mostrar todos os Identificadores", {314, 84, 124, 10}},
             {Ctl::CheckBox, IDC_SHOW_CONDITIONING, "Mostrar Condicionante", {314, 99, 124, 10}},
             {Ctl::Radio, IDC_PLANES_ACTIVE, "Activas", {314, 118, 124, 10}, Style::Group},
             {Ctl::Radio, IDC_PLANES_SUPPLEMENTARY, "Suplementares", {314, 130, 124, 10}},
             {Ctl::Radio, IDC_PLANES_COMBINED, "Activas + Suplementares", {314, 142, 124, 10}},
             {Ctl::GroupBox, -1, "Zoom", {314, 158, 124, 30}},
             {Ctl::PushButton, IDC_ZOOM_IN, "+", {324, 169, 45, 13}, Style::Disabled},
             {Ctl::PushButton, IDC_ZOOM_OUT, "-", {383, 169, 45, 13}, Style::Disabled},
             {Ctl::PushButton, IDC_OPTIONS_TOGGLE, ">>", {314, 196, 124, 14}},
             {Ctl::PushButton, IDC_CHART_PREVIOUS, "Anterior", {331, 229, 50, 14}},
             {Ctl::PushButton, IDCANCEL, "Sair", {388, 229, 50, 14}, Style::Default},
         }},
        {IDD_CHART_OPTIONS, "Opções", {0, 0, 170, 250},
         {
             {Ctl::GroupBox, -1, "Amostras", {7, 4, 156, 150}},
             {Ctl::CheckList, IDC_OPTIONS_POINTS, "", {13, 15, 144, 114}, Style::MultiColumn | Style::HScroll},
             {Ctl::PushButton, IDC_OPTIONS_TICK_ALL, "Sel. Todos", {13, 134, 68, 14}},
             {Ctl::PushButton, IDC_OPTIONS_UNTICK_ALL, "DeSel. Todos", {89, 134, 68, 14}},
             {Ctl::GroupBox, -1, "Marcadores", {7, 158, 156, 58}},
             {Ctl::Static, -1, "Tamanho:", {13, 172, 40, 8}},
             {Ctl::Slider, IDC_OPTIONS_MARKER_SIZE, "", {55, 168, 102, 16}},
             {Ctl::CheckBox, IDC_OPTIONS_FILLED, "Preenchidos", {13, 196, 100, 10}},
             {Ctl::PushButton, IDC_OPTIONS_APPLY_CURRENT, "Actual", {30, 226, 50, 14}},
             {Ctl::PushButton, IDC_OPTIONS_APPLY_ALL, "Todos", {90, 226, 50, 14}},
         }},
        {IDD_SINGLE_CHART, "Grafico Unico", {0, 0, 314, 250},
         {
             {Ctl::Custom, IDC_CHART_AREA, "", {7, 7, 300, 215}, Style::Border},
             {Ctl::PushButton, IDOK, "Sair", {257, 229, 50, 14}, Style::Default},
         }},
        {IDD_MATRIX_RESULTS, "", {0, 0, 360, 250},
         {
             {Ctl::Custom, IDC_MATRIX_HEADER, "", {7, 7, 346, 22}},
             {Ctl::ListCtrl, IDC_MATRIX_LIST, "", {7, 33, 346, 189}},
             {Ctl::PushButton, IDC_CHART_PREVIOUS, "Anterior", {246, 229, 50, 14}},
             {Ctl::PushButton, IDCANCEL, "Sair", {303, 229, 50, 14}, Style::Default},
         }},
    };
}

}  // namespace tabulon_res
