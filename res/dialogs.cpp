// Dialog templates (coordinates in dialog units).
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> Dialogs() {
    return {
        {IDD_ABOUTBOX, "Créditos Tesmo", {0, 0, 235, 82},
         {
             {Ctl::Icon, -1, "", {11, 14, 24, 24}},
             {Ctl::Static, -1, "Tesmo - Tabulon, versão 7.00", {44, 12, 180, 10}},
             {Ctl::Static, -1, "Análise estatística de tabelas de dados", {44, 26, 180, 10}},
             {Ctl::Static, -1, "Motores de cálculo: kelo, fenola e pilo", {44, 40, 180, 10}},
             {Ctl::PushButton, IDOK, "OK", {178, 60, 50, 14}, Style::Default},
         }},
        {169, "Descrição de Variável", {0, 0, 262, 214},
         {
             {Ctl::Static, -1, "Nome da Variável:", {10, 12, 70, 10}},
             {Ctl::Edit, 1000, "", {82, 10, 170, 13}},
             {Ctl::GroupBox, -1, "Tipo de Variável", {10, 30, 242, 30}},
             {Ctl::Radio, 1137, "Quantitativa", {22, 43, 80, 10}, Style::Group},
             {Ctl::Radio, 1138, "Qualitativa", {132, 43, 80, 10}},
             {Ctl::Static, -1, "Número de Classes (Modalidades):", {10, 70, 130, 10}},
             {Ctl::Edit, 1129, "", {142, 68, 40, 13}, Style::Disabled},
             {Ctl::GroupBox, 1158, "Identificadores das Modalidades", {10, 88, 118, 98}},
             {Ctl::ListBox, 1133, "", {18, 100, 102, 80}, Style::VScroll},
             {Ctl::GroupBox, 1159, "Códigos das Modalidades", {134, 88, 118, 98}},
             {Ctl::ListBox, 1079, "", {142, 100, 102, 80}, Style::VScroll},
             {Ctl::PushButton, 1134, "Identificadores", {10, 193, 70, 14}},
             {Ctl::PushButton, IDOK, "OK", {202, 193, 50, 14}, Style::Default},
         }},
        {172, "Configuração", {0, 0, 200, 70},
         {
             {Ctl::Static, -1, "Escolha o Código de Ausência:", {10, 12, 120, 10}},
             {Ctl::Edit, 1140, "", {10, 26, 100, 13}},
             {Ctl::PushButton, IDOK, "OK", {86, 50, 50, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {140, 50, 50, 14}},
         }},
    };
}

}  // namespace tabulon_res

namespace tabulon_res {

// The pages and dialogs of the dialog bases and the variable-selection page.
std::vector<afx::DialogTemplate> BaseDialogs() {
    return {
        {146, "Código da Variável", {0, 0, 236, 84},
         {
             {Ctl::Static, 1136, "Código da Variável", {10, 12, 150, 10}},
             {Ctl::Edit, 1000, "", {10, 26, 80, 13}},
             {Ctl::PushButton, 1004, "Anterior", {10, 62, 50, 14}},
             {Ctl::PushButton, 1005, "Seguinte", {64, 62, 50, 14}, Style::Default},
             {Ctl::PushButton, 1006, "Terminar", {118, 62, 50, 14}, Style::Hidden},
             {Ctl::PushButton, 1007, "Cancelar", {176, 62, 50, 14}},
             {Ctl::PushButton, 1074, "OK", {122, 62, 50, 14}, Style::Hidden},
             {Ctl::PushButton, 1075, "Cancelar", {176, 62, 50, 14}, Style::Hidden},
         }},
        {170, "Selecionar Variáveis", {0, 0, 270, 196},
         {
             {Ctl::GroupBox, -1, "Selecionar Variáveis", {7, 7, 256, 158}},
             {Ctl::CheckList, 1078, "", {14, 20, 160, 138}, Style::VScroll},
             {Ctl::PushButton, 1139, "Todas", {182, 20, 74, 14}},
             {Ctl::PushButton, 1156, "Quantitativas", {182, 38, 74, 14}},
             {Ctl::PushButton, 1155, "Abrir Configuração", {182, 56, 74, 14}},
             {Ctl::PushButton, 1191, "Seguinte", {152, 174, 54, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {209, 174, 54, 14}},
         }},
    };
}

}  // namespace tabulon_res
