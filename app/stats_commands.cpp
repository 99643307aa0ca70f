// The document's statistics commands: each runs its own chain of pages, the variable
// selection first, then the result dialogs built on a statistics object.
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/tabulon_doc.h"
#include "stats/descriptive_stats.h"
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
        if (result == STEP_FINISH || result == STEP_CANCEL) break;
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
