// The string table.
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

std::vector<afx::StringEntry> Strings() {
    return {
        {IDR_MAINFRAME, "Tesmi\n\nTesm\nFicheiro Dados Tesmo (*.tsm)\n.tsm\nTesmo.Document\nTesmo Document"},
        {IDS_FILE_VERSION, "#Tesmo v7.00#"},
        {AFX_IDS_APP_TITLE, "Tabulon"},
        {AFX_IDS_IDLEMESSAGE, "Ready"},
        {AFX_IDS_OPENFILE, "Abrir"},
        {AFX_IDS_SAVEFILE, "Gravar como"},
        {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
        {ID_INDICATOR_PROGRESS, "                                                                  "},
        {IDS_STATUS_READING, "A ler ficheiro..."},
        {IDS_STATUS_READY, "Ready"},
        {IDS_STATUS_ANALYSING, "A analisar os dados do ficheiro..."},
        {IDS_STATUS_FILLING, "A popular tabela..."},
        {IDS_STATUS_REPORT, "A processar dados para relatório... "},
        {IDS_STATUS_PREPARING, "A preparar dados para processamento..."},
        {IDS_STATUS_CHARTS, "A construir gráficos..."},
        {IDS_STATUS_SORTING, "A ordenar dados..."},
        {IDS_STATUS_RUNNING, "A executar %s..."},

        // Status-bar prompts and tool tips of the commands ("prompt\ntip").
        {ID_FILE_NEW, "Cria uma tabela nova\nNovo"},
        {ID_FILE_OPEN, "Abre um ficheiro de dados\nAbrir"},
        {ID_FILE_SAVE, "Grava a tabela no seu ficheiro\nGravar"},
        {ID_FILE_SAVE_AS, "Grava a tabela com outro nome\nGravar como"},
        {ID_FILE_EXPORT, "Exporta as linhas da tabela para um ficheiro de texto\nExportar"},
        {ID_FILE_IMPORT, "Importa uma tabela de um ficheiro de texto\nImportar"},
        {ID_FILE_MRU_FILE1, "Abre este ficheiro"},
        {ID_FILE_MRU_FILE1 + 1, "Abre este ficheiro"},
        {ID_FILE_MRU_FILE1 + 2, "Abre este ficheiro"},
        {ID_FILE_MRU_FILE1 + 3, "Abre este ficheiro"},
        {ID_APP_EXIT, "Termina o programa\nSair"},
        {ID_EDIT_UNDO, "Anula a última acção\nAnular"},
        {ID_EDIT_CUT, "Corta a selecção\nCortar"},
        {ID_EDIT_COPY, "Copia a tabela para a área de transferência como imagem\nCopiar"},
        {ID_EDIT_PASTE, "Cola uma tabela da área de transferência\nColar"},
        {ID_VIEW_TOOLBAR, "Mostra ou esconde a barra de comandos\nBarra de Comandos"},
        {ID_VIEW_STATUS_BAR, "Mostra ou esconde a barra de estado\nBarra de Estado"},
        {ID_APP_ABOUT, "Mostra a versão do programa\nCréditos"},
        {ID_STATS_HISTOGRAM, "Histogramas das variáveis escolhidas\nHistograma"},
        {ID_STATS_BOXPLOT, "Boxplots das variáveis escolhidas\nBoxplot"},
        {ID_STATS_DESCRIPTIVE, "Estatísticas descritivas das variáveis escolhidas\nEstatísticas Descritivas"},
        {ID_STATS_SCATTER, "Diagrama de dispersão de duas variáveis\nDiagramas de Dispersão"},
        {ID_STATS_REGRESSION, "Regressão linear de uma variável sobre outra\nRegressão Linear"},
        {ID_STATS_RESISTANT_LINE, "Recta resistente\nRecta Resistente"},
        {ID_STATS_CORRELATION, "Matriz de correlação das variáveis escolhidas\nMatriz de Correlação"},
        {ID_STATS_COVARIANCE, "Matriz de covariância das variáveis escolhidas\nMatriz de Covariância"},
        {ID_ANALYSIS_PRINCIPAL, "Análise em componentes principais\nComponentes Principais"},
        {ID_ANALYSIS_BINARY, "Análise das correspondências binárias\nCorrespondências Binárias"},
        {ID_ANALYSIS_MULTIPLE, "Análise das correspondências múltiplas\nCorrespondências Múltiplas"},
        {ID_ANALYSIS_CLASSIFICATION, "Classificação hierárquica ascendente\nClassificação Automática"},
        {ID_OPTIONS_CONFIGURATION, "Muda o código de ausência da tabela\nConfiguração"},
    };
}

}  // namespace tabulon_res
