// Dialog templates of the multiple correspondence: the row count and the results options.
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

std::vector<afx::DialogTemplate> McaDialogs() {
    return {
        {163, "Linhas", {0, 0, 220, 62},
         {
             {Ctl::Static, -1, "Número de Linhas (Amostras)", {7, 12, 120, 10}},
             {Ctl::Edit, 1080, "", {135, 10, 50, 13}, Style::Number},
             {Ctl::PushButton, 1, "OK", {105, 40, 52, 14}, Style::Default},
             {Ctl::PushButton, 2, "Cancelar", {161, 40, 52, 14}},
         }},
        {164, "Resultados", {0, 0, 230, 150},
         {
             {Ctl::GroupBox, -1, "Ficheiros", {7, 7, 216, 82}},
             {Ctl::CheckBox, 1123, "Ficheiro de Dados Recodificado", {14, 20, 200, 10}},
             {Ctl::CheckBox, 1121, "Ficheiro com Matriz Disjuntiva Completa", {14, 33, 200, 10}},
             {Ctl::CheckBox, 1122, "Ficheiro com Matriz de Burt", {14, 46, 200, 10}},
             {Ctl::CheckBox, 1124, "Ficheiro para Gráficos", {14, 59, 200, 10}},
             {Ctl::CheckBox, 1125, "Projecção dos indivíduos", {14, 72, 200, 10}},
             {Ctl::Static, -1, "Factores", {14, 100, 50, 10}},
             {Ctl::Edit, 1135, "", {70, 98, 40, 13}, Style::Number},
             {Ctl::Static, -1, "Gráficos", {14, 116, 50, 10}},
             {Ctl::Edit, 1079, "", {70, 114, 40, 13}, Style::Number},
             {Ctl::PushButton, 1, "OK", {115, 130, 52, 14}, Style::Default},
             {Ctl::PushButton, 2, "Cancelar", {171, 130, 52, 14}},
         }},
    };
}

}  // namespace tabulon_res
