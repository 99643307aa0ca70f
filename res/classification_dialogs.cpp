// Dialog templates of the hierarchical classification (coordinates in dialog units).
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> ClassificationDialogs() {
    return {
        {153, "Definições de Dados", {0, 0, 246, 152},
         {
             {Ctl::GroupBox, -1, "Identificador", {7, 7, 130, 114}},
             {Ctl::Radio, 1152, "Default (Linhas)", {14, 20, 110, 10}, Style::Group},
             {Ctl::Radio, 1153, "Outro", {14, 32, 110, 10}},
             {Ctl::CheckList, 1154, "", {14, 46, 116, 68}, Style::VScroll},
             {Ctl::Static, -1, "Linhas", {146, 9, 50, 10}},
             {Ctl::Edit, 1009, "", {146, 21, 50, 13}, Style::Disabled},
             {Ctl::PushButton, 1115, "Modos", {146, 44, 92, 14}},
             {Ctl::PushButton, 1088, "Colunas", {146, 62, 92, 14}},
             {Ctl::PushButton, 1089, "Resultados", {146, 80, 92, 14}},
             {Ctl::PushButton, 1157, "Gravar", {146, 107, 92, 14}},
             {Ctl::PushButton, 1193, "Anterior", {7, 131, 54, 14}},
             {Ctl::PushButton, 1006, "Executar", {126, 131, 54, 14}, Style::Default},
             {Ctl::PushButton, 1007, "Cancelar", {184, 131, 54, 14}},
         }},
        {154, "Colunas (Variáveis) no Ficheiro de Dados", {0, 0, 230, 168},
         {
             {Ctl::Static, -1, "Numero de Colunas (Variáveis)", {7, 9, 120, 10}},
             {Ctl::Edit, 1008, "", {130, 7, 40, 13}, Style::Disabled},
             {Ctl::ListBox, 1078, "", {7, 26, 216, 112}, Style::VScroll},
             {Ctl::PushButton, 1020, "Colunas", {7, 147, 54, 14}},
             {Ctl::PushButton, 1096, "Ok", {112, 147, 54, 14}, Style::Default},
             {Ctl::PushButton, 1007, "Cancelar", {169, 147, 54, 14}},
         }},
        {155, "Resultados", {0, 0, 180, 92},
         {
             {Ctl::GroupBox, -1, "Listagem", {7, 7, 166, 56}},
             {Ctl::CheckBox, 1107, "Dados", {14, 20, 150, 10}},
             {Ctl::CheckBox, 1111, "Matriz de Distância", {14, 33, 150, 10}},
             {Ctl::CheckBox, 1112, "Hierarquia", {14, 46, 150, 10}},
             {Ctl::PushButton, IDOK, "OK", {62, 71, 54, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {119, 71, 54, 14}},
         }},
        {156, "Modos", {0, 0, 232, 122},
         {
             {Ctl::GroupBox, -1, "Classificação", {7, 7, 218, 28}},
             {Ctl::Radio, 1117, "Modo Q", {14, 19, 90, 10}, Style::Group},
             {Ctl::Radio, 1116, "Modo R", {118, 19, 90, 10}},
             {Ctl::Static, -1, "Distância", {7, 46, 58, 10}},
             {Ctl::ComboBox, 1114, "", {68, 44, 157, 100}, Style::Sort | Style::VScroll},
             {Ctl::Static, -1, "Agregação", {7, 66, 58, 10}},
             {Ctl::ComboBox, 1112, "", {68, 64, 157, 100}, Style::Sort | Style::VScroll},
             {Ctl::PushButton, 1113, "Flexivel", {68, 82, 60, 14}},
             {Ctl::PushButton, 3, "OK", {114, 101, 54, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {171, 101, 54, 14}},
         }},
        {157, "Flexível", {0, 0, 160, 104},
         {
             {Ctl::Static, -1, "Alfa1", {7, 9, 40, 10}},
             {Ctl::Edit, 1002, "", {50, 7, 60, 13}},
             {Ctl::Static, -1, "Alfa2", {7, 27, 40, 10}},
             {Ctl::Edit, 1117, "", {50, 25, 60, 13}},
             {Ctl::Static, -1, "Beta", {7, 45, 40, 10}},
             {Ctl::Edit, 1003, "", {50, 43, 60, 13}},
             {Ctl::Static, -1, "Gama", {7, 63, 40, 10}},
             {Ctl::Edit, 1004, "", {50, 61, 60, 13}},
             {Ctl::PushButton, IDOK, "OK", {42, 83, 54, 14}, Style::Default},
             {Ctl::PushButton, IDCANCEL, "Cancelar", {99, 83, 54, 14}},
         }},
        {159, "Divisão em Grupos", {0, 0, 176, 58},
         {
             {Ctl::Static, -1, "Valor Distância Corte", {7, 11, 90, 10}},
             {Ctl::Edit, 1119, "", {100, 9, 68, 13}},
             {Ctl::PushButton, IDOK, "Sair", {114, 37, 54, 14}, Style::Default},
         }},
        {191, "Resultados da Classificação Ascendente Hierarquica", {0, 0, 256, 96},
         {
             {Ctl::GroupBox, -1, "Hierarquia", {7, 7, 117, 62}},
             {Ctl::PushButton, 1139, "Relatório Hierarquia", {14, 22, 103, 14}},
             {Ctl::GroupBox, -1, "Divisão em Grupos", {132, 7, 117, 62}},
             {Ctl::PushButton, 1177, "Grupos", {139, 22, 103, 14}},
             {Ctl::PushButton, 1140, "Relatório Grupos", {139, 44, 103, 14}, Style::Disabled},
             {Ctl::PushButton, IDOK, "Sair", {195, 76, 54, 14}, Style::Default},
         }},
    };
}

}  // namespace tabulon_res
