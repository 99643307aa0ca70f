// Dialog templates of the factorial results: principal components (181), the binary
// correspondence report (186), the HTML options of each (183, 187) and the HTML notice (184).
#include "res/resources.h"

namespace tabulon_res {

using afx::Ctl;
namespace Style = afx::Style;

namespace {

// The buttons every factorial results dialog shares, in the left half of the dialog.
std::vector<afx::ControlTemplate> SharedResultControls() {
    return {
        {Ctl::GroupBox, -1, "Resultados", {7, 7, 120, 62}},
        {Ctl::PushButton, 1162, "Relatório", {14, 19, 106, 14}},
        {Ctl::PushButton, 1163, "Eixos", {14, 35, 52, 14}},
        {Ctl::PushButton, 1164, "ScreePlot", {68, 35, 52, 14}},
        {Ctl::PushButton, 1166, "Gerar HTML", {14, 51, 106, 14}},
        {Ctl::GroupBox, -1, "Coordenadas", {7, 74, 120, 30}},
        {Ctl::PushButton, 1165, "Colunas", {14, 86, 52, 14}},
        {Ctl::PushButton, 1087, "Linhas", {68, 86, 52, 14}},
        {Ctl::GroupBox, -1, "Gráfico", {7, 109, 120, 48}},
        {Ctl::PushButton, 1167, "Colunas", {14, 121, 52, 14}},
        {Ctl::PushButton, 1168, "Linhas", {68, 121, 52, 14}},
        {Ctl::PushButton, 1176, "Colunas+Linhas", {14, 138, 106, 14}},
        {Ctl::Static, -1, "Número de Factores:", {7, 166, 76, 10}},
        {Ctl::Edit, 1179, "", {87, 164, 40, 13}, Style::Number},
    };
}

afx::ControlTemplate CheckBox(int id, const char* text, int x, int y, int width = 100) {
    return {Ctl::CheckBox, id, text, {x, y, width, 10}};
}

// The boxes of the principal components' HTML options (and of the report's, above them).
std::vector<afx::ControlTemplate> HtmlOptionControls() {
    return {
        {Ctl::GroupBox, -1, "Coordenadas Colunas", {7, 7, 120, 50}},
        CheckBox(1166, "Activas", 14, 19),
        CheckBox(1167, "Suplementares", 14, 31),
        CheckBox(1168, "Activas + Suplementares", 14, 43),
        {Ctl::GroupBox, -1, "Coordenadas Linhas", {135, 7, 120, 50}},
        CheckBox(1169, "Activas", 142, 19),
        CheckBox(1170, "Suplementares", 142, 31),
        CheckBox(1171, "Activas + Suplementares", 142, 43),
        CheckBox(1172, "Valores Próprios e Percentagem de Explicação dos Factores", 7, 63, 248),
        CheckBox(1174, "ScreePlot", 7, 76),
    };
}

}  // namespace

std::vector<afx::DialogTemplate> ResultsDialogs() {
    std::vector<afx::ControlTemplate> pca = SharedResultControls();
    pca.push_back({Ctl::PushButton, 1, "Sair", {73, 184, 54, 14}, Style::Default});

    std::vector<afx::ControlTemplate> report = SharedResultControls();
    for (const afx::ControlTemplate& c : std::vector<afx::ControlTemplate>{
             {Ctl::GroupBox, -1, "Contribuição Absoluta", {135, 7, 120, 30}},
             {Ctl::PushButton, 1170, "Colunas", {142, 19, 52, 14}},
             {Ctl::PushButton, 1088, "Linhas", {196, 19, 52, 14}},
             {Ctl::GroupBox, -1, "Contribuição Relativa", {135, 42, 120, 30}},
             {Ctl::PushButton, 1171, "Colunas", {142, 54, 52, 14}},
             {Ctl::PushButton, 1089, "Linhas", {196, 54, 52, 14}},
             {Ctl::PushButton, 1, "Sair", {201, 184, 54, 14}, Style::Default},
         })
        report.push_back(c);

    std::vector<afx::ControlTemplate> pcaHtml = HtmlOptionControls();
    for (const afx::ControlTemplate& c : std::vector<afx::ControlTemplate>{
             {Ctl::PushButton, 1093, "Selecionar Todos", {7, 94, 80, 14}},
             {Ctl::PushButton, 1165, "Gerar", {145, 94, 54, 14}, Style::Default},
             {Ctl::PushButton, 1, "Sair", {201, 94, 54, 14}},
         })
        pcaHtml.push_back(c);

    std::vector<afx::ControlTemplate> reportHtml = HtmlOptionControls();
    const char* const groups[4] = {"Contribuição Absoluta - Colunas", "Contribuição Absoluta - Linhas",
                                   "Contribuição Relativa - Colunas", "Contribuição Relativa - Linhas"};
    const int ids[4][3] = {{1175, 1176, 1179}, {1180, 1181, 1182}, {1183, 1184, 1185}, {1186, 1187, 1188}};
    for (int g = 0; g < 4; ++g) {
        const int x = g % 2 == 0 ? 7 : 135;
        const int y = g < 2 ? 92 : 147;
        reportHtml.push_back({Ctl::GroupBox, -1, groups[g], {x, y, 120, 50}});
        reportHtml.push_back(CheckBox(ids[g][0], "Activas", x + 7, y + 12));
        reportHtml.push_back(CheckBox(ids[g][1], "Suplementares", x + 7, y + 24));
        reportHtml.push_back(CheckBox(ids[g][2], "Activas + Suplementares", x + 7, y + 36));
    }
    reportHtml.push_back({Ctl::PushButton, 1093, "Selecionar Todos", {7, 206, 80, 14}});
    reportHtml.push_back({Ctl::PushButton, 1165, "Gerar", {145, 206, 54, 14}, Style::Default});
    reportHtml.push_back({Ctl::PushButton, 1, "Sair", {201, 206, 54, 14}});

    return {
        {181, "Resultados", {0, 0, 134, 205}, pca},
        {186, "Relatório", {0, 0, 262, 205}, report},
        {183, "Gerar HTML", {0, 0, 262, 115}, pcaHtml},
        {187, "Gerar Html", {0, 0, 262, 227}, reportHtml},
        {184, "Relatório HTML", {0, 0, 240, 70},
         {
             {Ctl::Static, -1, "O relatório foi gerado em:", {7, 9, 226, 10}},
             {Ctl::Static, 1173, "", {7, 24, 226, 10}},
             {Ctl::PushButton, 1, "OK", {93, 47, 54, 14}, Style::Default},
         }},
    };
}

}  // namespace tabulon_res
