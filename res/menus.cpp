// Menus and accelerators.
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

using afx::MenuItem;
constexpr const char* kSeparator = nullptr;

std::vector<afx::MenuTemplate> Menus() {
    return {
        {IDR_MAINFRAME,
         {
             {"&Ficheiro", 0,
              {
                  {"&Novo", ID_FILE_NEW, {}},
                  {"&Abrir...", ID_FILE_OPEN, {}},
                  {"Gravar", ID_FILE_SAVE, {}},
                  {"Gravar como...", ID_FILE_SAVE_AS, {}},
                  {kSeparator, 0, {}},
                  {"Exportar...", ID_FILE_EXPORT, {}},
                  {"Importar...", ID_FILE_IMPORT, {}},
                  {kSeparator, 0, {}},
                  {"Ficheiro Recente", ID_FILE_MRU_FILE1, {}},
                  {kSeparator, 0, {}},
                  {"E&xit", ID_APP_EXIT, {}},
              }},
             {"&Editar", 0,
              {
                  {"&Undo\tCtrl+Z", ID_EDIT_UNDO, {}},
                  {kSeparator, 0, {}},
                  {"Cu&t\tCtrl+X", ID_EDIT_CUT, {}},
                  {"&Copy\tCtrl+C", ID_EDIT_COPY, {}},
                  {"&Paste\tCtrl+V", ID_EDIT_PASTE, {}},
              }},
             {"Ver", 0,
              {
                  {"Barra de Comandos", ID_VIEW_TOOLBAR, {}},
                  {"Barra de Estado", ID_VIEW_STATUS_BAR, {}},
              }},
             {"Programas", 0,
              {
                  {"Análise Univariada", 0,
                   {
                       {"Estatísticas Descritivas", ID_STATS_DESCRIPTIVE, {}},
                       {"Histograma", ID_STATS_HISTOGRAM, {}},
                       {"Boxplot", ID_STATS_BOXPLOT, {}},
                   }},
                  {"Análise Bivariada", 0,
                   {
                       {"Diagramas de Dispersão", ID_STATS_SCATTER, {}},
                       {"Regressão Linear", ID_STATS_REGRESSION, {}},
                       {"Recta Resistente", ID_STATS_RESISTANT_LINE, {}},
                       {"Matriz de Correlação", ID_STATS_CORRELATION, {}},
                       {"Matriz de Covariância", ID_STATS_COVARIANCE, {}},
                   }},
                  {"Análise Multivariada", 0,
                   {
                       {"Componentes Principais\tCtrl+P", ID_ANALYSIS_PRINCIPAL, {}},
                       {"Análise das Correspondências Binárias\tCtrl+R", ID_ANALYSIS_BINARY, {}},
                       {"Análise das Correspondências Múltiplas\tCtrl+M", ID_ANALYSIS_MULTIPLE, {}},
                       {"Classificação Automática\tCtrl+H", ID_ANALYSIS_CLASSIFICATION, {}},
                   }},
              }},
             {"Opções", 0,
              {
                  {"Configuração", ID_OPTIONS_CONFIGURATION, {}},
              }},
             {"&Help", 0,
              {
                  {"&Créditos Tesmo...", ID_APP_ABOUT, {}},
              }},
         }},
        {IDR_POPUP_MENUS,
         {
             {"Funcoes", 0,
              {
                  {"Imprimir", ID_POPUP_PRINT, {}},
                  {"Copiar", ID_POPUP_COPY, {}},
              }},
             {"Identificador", 0,
              {
                  {"Imprimir", ID_POPUP_PRINT, {}},
                  {"Copiar", ID_POPUP_COPY, {}},
                  {kSeparator, 0, {}},
                  {"Voltar à Posição Inicial", ID_POPUP_RESTORE_POSITION, {}},
              }},
             {"Rectangulo de Selecção", 0,
              {
                  {"Zoom", ID_POPUP_ZOOM, {}},
                  {"Amostras Selecionadas", ID_POPUP_SELECTED_SAMPLES, {}},
              }},
         }},
    };
}

std::vector<afx::AcceleratorTable> Accelerators() {
    using afx::FCONTROL;
    using afx::FSHIFT;
    using afx::FALT;
    using afx::FVIRTKEY;
    const BYTE ctrl = FVIRTKEY | FCONTROL;
    return {
        {IDR_MAINFRAME,
         {
             {ctrl, 'N', ID_FILE_NEW},
             {ctrl, 'O', ID_FILE_OPEN},
             {ctrl, 'S', ID_FILE_SAVE},
             {ctrl, 'E', ID_APP_EXIT},
             {ctrl, 'Z', ID_EDIT_UNDO},
             {static_cast<BYTE>(FVIRTKEY | FALT), VK_BACK, ID_EDIT_UNDO},
             {ctrl, 'X', ID_EDIT_CUT},
             {static_cast<BYTE>(FVIRTKEY | FSHIFT), VK_DELETE, ID_EDIT_CUT},
             {ctrl, 'C', ID_EDIT_COPY},
             {ctrl, VK_INSERT, ID_EDIT_COPY},
             {ctrl, 'V', ID_EDIT_PASTE},
             {static_cast<BYTE>(FVIRTKEY | FSHIFT), VK_INSERT, ID_EDIT_PASTE},
             {FVIRTKEY, VK_F6, ID_NEXT_PANE},
             {static_cast<BYTE>(FVIRTKEY | FSHIFT), VK_F6, ID_PREV_PANE},
             {ctrl, 'P', ID_ANALYSIS_PRINCIPAL},
             {ctrl, 'R', ID_ANALYSIS_BINARY},
             {ctrl, 'M', ID_ANALYSIS_MULTIPLE},
             {ctrl, 'H', ID_ANALYSIS_CLASSIFICATION},
         }},
    };
}

}  // namespace tabulon_res
