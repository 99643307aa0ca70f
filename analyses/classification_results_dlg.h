// The results of the hierarchical classification: the engine's hierarchy listing and, in
// mode Q, the division of the hierarchy into groups at a cut value by the engine pilo.
#pragma once

#include "analyses/factor_results_dlg.h"

class CClassificationDefDlg;

constexpr int IDC_RESULTS_GROUPS = 1177;            // "Grupos"
constexpr int IDC_RESULTS_GROUPS_LISTING = 1140;    // "Relatório Grupos"
constexpr int IDC_RESULTS_HIERARCHY_LISTING = 1139; // "Relatório Hierarquia"

class CClassificationResultsDlg : public CFactorResultsDlg {
public:
    explicit CClassificationResultsDlg(CClassificationDefDlg* owner);

    // Full paths of pilo's listing, program and parameter file, set before every showing.
    void SetGroupPaths(CString listing, CString program, CString parameters);
    CString GetPiloListingPath() const { return m_strPiloListing; }
    CString GetPiloProgramPath() const { return m_strPiloProgram; }
    CString GetPiloParameterPath() const { return m_strPiloParameters; }

    // The classification has no results file.
    void ReadResults(CString) override {}
    BOOL OnInitDialog() override;

    // Asks for the cut, writes pilo.par and runs pilo (mode Q only).
    void OnGroups();
    // pilo's listing, waited for.
    void OnGroupsListing();

protected:
    // The owner's modes dialog is in mode Q: the rows were classified.
    bool ClassifiedRows() const;

    CClassificationDefDlg* m_pDefinition;
    CString m_strPiloListing;
    CString m_strPiloProgram;
    CString m_strPiloParameters;

    DECLARE_MESSAGE_MAP()
};
