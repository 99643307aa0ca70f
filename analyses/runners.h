// The four analysis runners that the application owns. Each creates its data-definition
// and results dialogs in its constructor; until a dialog exists its command stays greyed.
#pragma once

#include "analyses/engine_runner.h"

// Principal components: engine mur.
class CMurRunner : public CEngineRunner {
public:
    CMurRunner();
    // mur.par, then the engine.
    void Run() override;
};

// Hierarchical classification: engine fenola, then pilo for the division into groups.
class CClassificationRunner : public CEngineRunner {
public:
    CClassificationRunner();
    // fenola.par, pilo's paths to the results dialog, then the engine.
    void Run() override;

    const CString& GetPiloProgramName() const { return m_strPiloProgram; }
    const CString& GetPiloParameterFileName() const { return m_strPiloParameterFile; }
    const CString& GetPiloListingName() const { return m_strPiloListing; }

protected:
    // fenola's results are its listing; it writes no results file.
    CString OutputName() const override { return m_strListing; }

    CString m_strPiloProgram = "pilo.exe";
    CString m_strPiloParameterFile = "pilo.par";
    CString m_strPiloListing = "pilo.prn";
};

// Binary correspondence analysis: engine kelo.
class CKeloRunner : public CEngineRunner {
public:
    CKeloRunner();
    // kelo.par, then the engine.
    void Run() override;
};

// Multiple correspondence analysis: engine dazi, which also writes a recoding listing.
class CDaziRunner : public CEngineRunner {
public:
    CDaziRunner();
    // dazi.par, then the engine.
    void Run() override;

    const CString& GetRecodingListingName() const { return m_strRecodingListing; }

protected:
    CString m_strRecodingListing = "recod.prn";
};
