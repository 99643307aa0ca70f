#include <gtest/gtest.h>

#include <filesystem>

#include "analyses/runners.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

TEST(Runners, EachNameLandsInItsPlace) {
    struct Expected {
        const CRunnerBase* runner;
        const char* parameters;
        const char* program;
        const char* listing;
        const char* results;
        int id;
    };
    CMurRunner mur;
    CClassificationRunner classification;
    CKeloRunner kelo;
    CDaziRunner dazi;
    for (const Expected& e : {Expected{&mur, "mur.par", "mur.exe", "mur.prn", "mur.tmp", 1501},
                              Expected{&classification, "fenola.par", "fenola.exe", "fenola.prn", "fenola.tmp", 1500},
                              Expected{&kelo, "kelo.par", "kelo.exe", "kelo.prn", "kelo.tmp", 1502},
                              Expected{&dazi, "dazi.par", "dazi.exe", "dazi.prn", "dazi.tmp", 1503}}) {
        SCOPED_TRACE(e.program);
        EXPECT_EQ(e.runner->GetParameterFileName(), e.parameters);
        EXPECT_EQ(e.runner->GetProgramName(), e.program);
        EXPECT_EQ(e.runner->GetFolderName(), "dados");
        EXPECT_EQ(e.runner->GetListingName(), e.listing);
        EXPECT_EQ(e.runner->GetResultsName(), e.results);
        EXPECT_EQ(e.runner->GetProgramId(), e.id);
    }
    EXPECT_EQ(classification.GetPiloProgramName(), "pilo.exe");
    EXPECT_EQ(classification.GetPiloParameterFileName(), "pilo.par");
    EXPECT_EQ(classification.GetPiloListingName(), "pilo.prn");
    EXPECT_EQ(dazi.GetRecodingListingName(), "recod.prn");
}

namespace {
struct StateUI : CCmdUI {
    int enabled = -1;
    void Enable(BOOL on) override {
        CCmdUI::Enable(on);
        enabled = on ? 1 : 0;
    }
};
}  // namespace

// The analysis commands wait for their data-definition dialogs: greyed even with data.
TEST(AnalysisCommands, GreyedUntilTheirDialogsExist) {
    AnalysisFixture f;
    ASSERT_TRUE(f.doc->HasData());
    for (UINT id : {ID_ANALYSIS_PRINCIPAL, ID_ANALYSIS_BINARY, ID_ANALYSIS_MULTIPLE}) {
        StateUI state;
        state.m_nID = id;
        state.DoUpdate(&theApp, TRUE);
        EXPECT_EQ(state.enabled, 0) << id;
    }
    // The classification has its dialogs.
    StateUI classification;
    classification.m_nID = ID_ANALYSIS_CLASSIFICATION;
    classification.DoUpdate(&theApp, TRUE);
    EXPECT_EQ(classification.enabled, 1);
}

TEST(AnalysisCommand, PreviousReturnsToTheTickedPageAndCancelEnds) {
    AnalysisFixture f;
    TestRunner runner(false);
    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Seleccionar Variáveis para Correspondências Binárias");
        EXPECT_TRUE(d.IsVisible(kOpenConfiguration));
        EXPECT_FALSE(d.IsEnabled(1156));   // "Quantitativas"
        d.Tick(kVariableList, 0);
        d.Tick(kVariableList, 3);
        d.Click(kNext);
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kPrevious); });
    user.OnDialog(kSelection, [](DialogDriver& d) {
        EXPECT_TRUE(d.IsTicked(kVariableList, 0));
        EXPECT_FALSE(d.IsTicked(kVariableList, 1));
        EXPECT_TRUE(d.IsTicked(kVariableList, 3));
        d.Tick(kVariableList, 2);
        d.Click(kNext);
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kCancel); });
    RunAnalysisCommand(f.doc, "Seleccionar Variáveis para Correspondências Binárias", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(runner.Dialog()->GetSelectedColumns(), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(user.ProcessStarts().empty());
}

TEST(AnalysisCommand, OpenConfigurationShowsTheLoadedDialog) {
    AnalysisFixture f;
    std::string path = f.folder.File("zona.tcfg");
    testsupport::WriteBytes(path, "1502\r\n" + f.dataPath + "\r\n" +
                                      std::to_string(std::filesystem::file_size(f.dataPath)) +
                                      "\r\n-9.900000\r\n3 4\r\n4\r\n2\r\n3\r\n1\r\n");
    TestRunner runner(false);
    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& r) {
        EXPECT_TRUE(r.open);
        r.path = path.c_str();
        return true;
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kOther), 1);
        EXPECT_FALSE(d.IsTicked(kIdentifiers, 0));
        EXPECT_TRUE(d.IsTicked(kIdentifiers, 1));   // Zona, variable 4
        d.Click(kCancel);
    });
    RunAnalysisCommand(f.doc, "Seleccionar Variáveis para Correspondências Binárias", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(runner.Dialog()->GetSelectedColumns(), (std::vector<int>{3, 1}));

    // A configuration of another analysis ends the command without the page again.
    testsupport::WriteBytes(path, "1500\r\n");
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& r) {
        r.path = path.c_str();
        return true;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Este ficheiro de configuração não corresponde ao programa que deseja correr");
        return IDOK;
    });
    RunAnalysisCommand(f.doc, "Seleccionar Variáveis para Correspondências Binárias", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
}
