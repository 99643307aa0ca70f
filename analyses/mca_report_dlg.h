// The results of the multiple correspondence analysis: dazi.tmp read as the binary
// correspondence report reads kelo's results, with the modalities as its columns and the
// individuals as its rows when they were projected; "Relatório" shows dazi's two listings.
#pragma once

#include "analyses/corresp_report_dlg.h"

class CMultiCorrespReportDlg : public CCorrespReportDlg {
public:
    explicit CMultiCorrespReportDlg(CAnalysisDlg* owner, CWnd* parent = nullptr);

    // The recoding listing (the base's listing) and dazi's own.
    void SetListingFiles(CString recoding, CString dazi);
    const CString& GetDaziListingPath() const { return m_strDaziListing; }

    // The plotted rows are the individuals, which the owner answers as its supplementary rows.
    void LoadRowLists() override;
    void ReadResults(CString path) override;
    // The individuals when projected, as active rows; never supplementary ones.
    void GetRowCounts(int& active, int& supplementary) override;

    // "Relatório": the recoding listing, then dazi's.
    void OnListings();

protected:
    CString m_strDaziListing;

    DECLARE_MESSAGE_MAP()
};
