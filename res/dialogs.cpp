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
    };
}

}  // namespace tabulon_res
