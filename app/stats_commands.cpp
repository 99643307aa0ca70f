// The document's statistics commands: each runs its own chain of pages, the variable
// selection first, then the result dialogs built on a statistics object.
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/tabulon_doc.h"
#include "charts/chart_dialogs.h"
#include "charts/boxplot_chart.h"
#include "stats/boxplot_options.h"
#include "stats/correlation_table.h"
#include "stats/descriptive_stats.h"
#include "stats/histogram.h"
#include "stats/paired_statistics.h"
#include "stats/regression.h"
#include "stats/order_statistics.h"
#include "ui/dialog_bases.h"
#include "ui/select_variables_dlg.h"

void CTabulonDoc::OnDescriptiveStatistics() {
    if (!m_pDataSet) return;
    CSelectVariablesDlg selection(this, "Selecionar variáveis para histogramas", 1, 0, 0);
    std::vector<std::unique_ptr<CDescriptiveStatsDlg>> results;
    std::unique_ptr<COrderStatistics> stats;
    size_t current = 0;  // 0 is the selection page, k the k-th result page
    for (;;) {
        CDialog* page = current == 0 ? static_cast<CDialog*>(&selection) : results[current - 1].get();
        const int result = page->DoModal();
        if (EndsPageChain(result)) break;
        if (result == STEP_NEXT && current == 0) {
            // A new selection replaces the pages and the statistics of the last one.
            while (!results.empty()) results.pop_back();
            stats.reset();
            const float code = static_cast<float>(std::atof(m_pDataSet->GetMissingCodeText()));
            stats = std::make_unique<COrderStatistics>(*m_pDataSet, selection.GetSelection(), code);
            results.push_back(std::make_unique<CDescriptiveStatsDlg>(stats.get(), nullptr));
            current = results.size();
        } else if (result == STEP_PREVIOUS && current > 0) {
            --current;
        }
        // Any other result shows the same page again.
    }
    // The pages go before the statistics they show.
    results.clear();
    stats.reset();
}

// The resistant line has no computation: the item is offered with data and does nothing.
void CTabulonDoc::OnResistantLine() {}

void CTabulonDoc::OnCorrelationMatrix() { RunMatrixCommand(CCorrelationTable::KIND_CORRELATION); }

void CTabulonDoc::OnCovarianceMatrix() { RunMatrixCommand(CCorrelationTable::KIND_COVARIANCE); }

void CTabulonDoc::RunMatrixCommand(int kind) {
    if (!m_pDataSet) return;
    const bool correlation = kind == CCorrelationTable::KIND_CORRELATION;
    CSelectVariablesDlg selection(this,
                                  correlation ? "Selecionar variáveis para matriz de correlação"
                                              : "Selecionar variáveis para matriz de covariância",
                                  1, 0, 1);
    std::unique_ptr<CCorrelationTable> matrix;
    std::unique_ptr<CMatrixResultsDlg> results;
    bool onResults = false;
    for (;;) {
        CDialog* page = onResults ? static_cast<CDialog*>(results.get()) : &selection;
        const int result = page->DoModal();
        if (EndsPageChain(result)) break;
        if (result == STEP_NEXT && !onResults) {
            results.reset();
            matrix.reset();
            const float code = static_cast<float>(std::atof(m_pDataSet->GetMissingCodeText()));
            matrix = std::make_unique<CCorrelationTable>(*m_pDataSet, selection.GetSelection(), code, kind);
            results = std::make_unique<CMatrixResultsDlg>(matrix.get(), correlation ? 1 : 0, nullptr);
            results->SetCaption(correlation ? "Matriz de correlação" : "Matriz de covariância");
            onResults = true;
        } else if (result == STEP_PREVIOUS && onResults) {
            onResults = false;
        }
    }
    results.reset();
    matrix.reset();
}

void CTabulonDoc::OnHistogram() {
    if (!m_pDataSet) return;
    CSelectVariablesDlg selection(this, "Selecionar variáveis para histogramas", 1, 0, 0);
    std::unique_ptr<COrderStatistics> stats;
    std::unique_ptr<CClassCountDlg> classes;
    std::vector<std::unique_ptr<CHistogramChart>> charts;
    std::vector<CPlotPage*> pages;
    std::unique_ptr<CChartWindowDlg> window;
    int current = 0;  // the selection page, the class counts, the charts
    for (;;) {
        CDialog* page = current == 0 ? static_cast<CDialog*>(&selection)
                        : current == 1 ? static_cast<CDialog*>(classes.get())
                                       : static_cast<CDialog*>(window.get());
        const int result = page->DoModal();
        if (EndsPageChain(result)) break;
        if (result == STEP_PREVIOUS && current > 0) {
            --current;
        } else if (result == STEP_NEXT && current == 0) {
            // The chart window goes before the charts it shows, the charts before their
            // statistics.
            window.reset();
            pages.clear();
            charts.clear();
            classes.reset();
            stats.reset();
            const float code = static_cast<float>(std::atof(m_pDataSet->GetMissingCodeText()));
            stats = std::make_unique<COrderStatistics>(*m_pDataSet, selection.GetSelection(), code);
            classes = std::make_unique<CClassCountDlg>(stats.get(), nullptr);
            current = 1;
        } else if (result == STEP_NEXT && current == 1) {
            window.reset();
            pages.clear();
            charts.clear();
            const std::vector<int>& counts = classes->GetClassCounts();
            for (size_t i = 0; i < counts.size(); ++i) {
                const int position = static_cast<int>(i);
                // A variable without present values has no classes to draw.
                if (stats->GetValueCount(position) == 0) {
                    AfxMessageBox(FormatString("A variável %s não tem valores presentes: o histograma não é desenhado",
                                               stats->GetVariableName(position).GetString()),
                                  MB_OK);
                    continue;
                }
                charts.push_back(std::make_unique<CHistogramChart>(stats.get(), counts[i], position,
                                                                   stats->GetVariableName(position)));
                pages.push_back(charts.back().get());
            }
            if (pages.empty()) continue;  // nothing to show: the class counts again
            window = std::make_unique<CChartWindowDlg>(pages, 1, 0, 174, nullptr);
            window->SetCaption("Histograma");
            current = 2;
        }
    }
    window.reset();
    pages.clear();
    charts.clear();
    classes.reset();
    stats.reset();
}

void CTabulonDoc::OnScatterDiagram() { RunPairedCommand(false); }

void CTabulonDoc::OnLinearRegression() { RunPairedCommand(true); }

void CTabulonDoc::RunPairedCommand(bool regression) {
    if (!m_pDataSet) return;
    CScatterVariablesDlg variables(m_pDataSet, nullptr);
    variables.SetTitle(regression ? "Selecionar variáveis para recta de regressão linear"
                                  : "Selecionar variáveis para Diagrama de Dispersão");
    std::unique_ptr<CPairedStatistics> stats;
    std::vector<std::unique_ptr<CPlotPage>> charts;
    std::vector<CPlotPage*> pages;
    std::unique_ptr<CChartWindowDlg> window;
    bool onCharts = false;
    for (;;) {
        CDialog* page = onCharts ? static_cast<CDialog*>(window.get()) : &variables;
        const int result = page->DoModal();
        if (EndsPageChain(result)) break;
        if (result == STEP_PREVIOUS && onCharts) {
            onCharts = false;
        } else if (result == STEP_NEXT && !onCharts) {
            // The window goes before the pages it shows, the pages before their statistics.
            window.reset();
            pages.clear();
            charts.clear();
            stats.reset();
            const float code = static_cast<float>(std::atof(m_pDataSet->GetMissingCodeText()));
            const int conditioning = variables.GetConditioningVariable();
            stats = std::make_unique<CPairedStatistics>(*m_pDataSet, variables.GetXVariables(), variables.GetYVariable(),
                                                        variables.GetIdentifierVariable(), conditioning, code);
            for (int i = 0; i < stats->GetVariableCount(); ++i) {
                if (regression) {
                    charts.push_back(std::make_unique<CRegressionPage>(stats.get(), i, stats->GetVariableName(i)));
                } else {
                    CString x, y;
                    stats->GetXVariableName(i, x);
                    stats->GetYVariableName(y);
                    auto chart = std::make_unique<CScatterChart>(*stats->GetSeries(i), x, y, y + "/" + x);
                    if (conditioning != -1)
                        chart->SetGroupNames(m_pDataSet->GetVariable(conditioning)->GetCategories());
                    charts.push_back(std::move(chart));
                }
                pages.push_back(charts.back().get());
            }
            if (regression) {
                auto dialog = std::make_unique<CRegressionDlg>(pages, conditioning, m_pDataSet, nullptr);
                dialog->SetHasConditioning(conditioning != -1);
                window = std::move(dialog);
            } else {
                window = std::make_unique<CChartWindowDlg>(pages, 1, 0, 174, nullptr);
                window->ShowIdentifiersOption(true);
                window->ShowConditioningOption(conditioning != -1);
                window->SetCaption("Diagrama de dispersão");
            }
            onCharts = true;
        }
    }
    window.reset();
    pages.clear();
    charts.clear();
    stats.reset();
}

void CTabulonDoc::OnBoxplot() {
    if (!m_pDataSet) return;
    CSelectVariablesDlg selection(this, "Selecionar variáveis para boxPlot", 0, 0, 0);
    CBoxPlotOptionsDlg options(nullptr);
    std::unique_ptr<COrderStatistics> stats;
    std::vector<std::unique_ptr<CPlotChart>> charts;
    std::vector<CPlotPage*> pages;
    std::unique_ptr<CChartWindowDlg> window;
    int current = 0;  // the selection page, the options, the charts
    for (;;) {
        CDialog* page = current == 0   ? static_cast<CDialog*>(&selection)
                        : current == 1 ? static_cast<CDialog*>(&options)
                                       : static_cast<CDialog*>(window.get());
        const int result = page->DoModal();
        if (EndsPageChain(result)) break;
        if (result == STEP_PREVIOUS && current > 0) {
            --current;
        } else if (result == STEP_NEXT && current == 0) {
            window.reset();
            pages.clear();
            charts.clear();
            stats.reset();
            const float code = static_cast<float>(std::atof(m_pDataSet->GetMissingCodeText()));
            std::vector<int> variables = selection.GetSelection();
            stats = std::make_unique<COrderStatistics>(*m_pDataSet, variables, code);
            // A variable without present values has no box: it is named and left out.
            std::vector<int> present;
            for (int i = 0; i < stats->GetVariableCount(); ++i) {
                if (stats->GetValueCount(i) > 0) {
                    present.push_back(variables[static_cast<size_t>(i)]);
                    continue;
                }
                AfxMessageBox(FormatString("A variável %s não tem valores presentes: o boxplot não é desenhado",
                                           stats->GetVariableName(i).GetString()),
                              MB_OK);
            }
            if (present.size() != variables.size()) {
                stats.reset();
                stats = std::make_unique<COrderStatistics>(*m_pDataSet, present, code);
            }
            if (stats->GetVariableCount() > 0) current = 1;
        } else if (result == STEP_NEXT && current == 1) {
            window.reset();
            pages.clear();
            charts.clear();
            const int n = options.GetVariableCount(), v = stats->GetVariableCount();
            const int identify = options.GetIdentifyOutliers();
            if (n == 1) {
                for (int i = 0; i < v; ++i)
                    charts.push_back(std::make_unique<CBoxPlotChart>(stats.get(), i, identify, stats->GetVariableName(i), 1));
            } else {
                for (int first = 0; first < v; first += n)
                    charts.push_back(std::make_unique<CMultipleBoxplotChart>(stats.get(), first, n, identify));
            }
            for (auto& chart : charts) pages.push_back(chart.get());
            window = std::make_unique<CChartWindowDlg>(pages, n, 0, 174, nullptr);
            window->SetCaption("BoxPlot");
            current = 2;
        }
    }
    window.reset();
    pages.clear();
    charts.clear();
    stats.reset();
}
