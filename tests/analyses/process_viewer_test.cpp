#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/core/process.h"
#include "platform/ui/text_viewer.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

// The selection page and the definition dialog of one run with "Executar".
void QueueExecute(ScriptedUser& user) {
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);
        d.Tick(kVariableList, 2);
        d.Click(kNext);
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kExecute); });
}

std::string Shown(std::string bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) out += bytes[i];
    return out;
}

// A window that counts its paintings, timer ticks and key presses, and notes the status
// bar's text at each tick.
class CCountingWnd : public CWnd {
public:
    int paints = 0, ticks = 0, keys = 0;
    std::vector<CString> statusTexts;
    void OnPaint() {
        CPaintDC dc(this);
        ++paints;
    }
    void OnTimer(UINT_PTR) {
        ++ticks;
        if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
            statusTexts.push_back(frame->GetStatusBar()->GetPaneText(0));
        Invalidate();
        afx::PressKey(this, 'A');   // dropped while an engine runs
    }
    void OnKeyDown(UINT, UINT, UINT) { ++keys; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

}  // namespace

TEST(EngineRun, EngineStartsInTheWorkingFolderAndItsListingIsShown) {
    AnalysisFixture f;
    f.InstallEngine("kelo.exe");
    TestRunner runner(false);
    ScriptedUser user;
    QueueExecute(user);
    RunAnalysisCommand(f.doc, "Seleccionar Variáveis para Correspondências Binárias", 0, runner);
    EXPECT_TRUE(user.AllAnswered());

    EXPECT_EQ(testsupport::ReadBytes(f.Dados("Dados.dat")), "S1\r\nS3\r\n1.500000 60.250000\r\n1.650000 72.000000\r\n");
    EXPECT_EQ(testsupport::ReadBytes(f.Dados("kelo.par")), "2\r\n1\r\n3\r\n");
    ASSERT_EQ(user.ProcessStarts().size(), 1u);
    EXPECT_EQ(user.ProcessStarts()[0].program, CString(f.Dados("kelo.exe")));
    EXPECT_EQ(user.ProcessStarts()[0].folder, CString(f.folder.Path() + "/dados"));
    EXPECT_TRUE(user.ProcessStarts()[0].started);

    // The engine ran in "dados" with its output on /dev/null, and was waited for.
    std::string listing = testsupport::ReadBytes(f.Dados("kelo.prn"));
    std::string folder = std::filesystem::canonical(f.folder.Path() + "/dados").string();
    EXPECT_EQ(listing, " Listagem de kelo\r\n pasta " + folder + "\r\n saida /dev/null\r\n\f Vers\xE3o 7.00\r\n");
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].path, CString(f.Dados("kelo.prn")));
    EXPECT_FALSE(user.TextViewers()[0].modal);
    EXPECT_EQ(user.TextViewers()[0].text, CString(Shown(listing)));
    EXPECT_EQ(afx::LastTextViewerText(), CString(Shown(listing)));
    EXPECT_GE(afx::OpenTextViewerCount(), 1);
    afx::SaveTextViewerPng((testsupport::PictureFolder() + "/listing_viewer.png").c_str());
    afx::CloseTextViewers();
}

TEST(EngineRun, ResultsDialogGetsTheListingFolderAndResultsPath) {
    AnalysisFixture f;
    f.InstallEngine("kelo.exe");
    testsupport::WriteBytes(f.Dados("kelo.out"), "1\r\n");   // the engine writes kelo.tmp from it
    TestRunner runner(true);
    ScriptedUser user;
    QueueExecute(user);
    user.OnDialog(kResults, [](DialogDriver& d) { d.Click(IDOK); });
    RunAnalysisCommand(f.doc, "x", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    std::string dados = f.folder.Path() + "/dados";
    EXPECT_EQ(runner.Results()->calls,
              (std::vector<std::string>{"listing " + dados + "/kelo.prn", "folder " + dados, "read " + dados + "/kelo.tmp"}));
    EXPECT_TRUE(std::filesystem::exists(f.Dados("kelo.prn")));   // written before the results were read
    EXPECT_TRUE(user.TextViewers().empty());
}

TEST(EngineRun, MissingEngineEndsTheRunWithoutOlderResults) {
    AnalysisFixture f;
    // Files of an earlier run are on disk.
    testsupport::WriteBytes(f.Dados("kelo.prn"), "old listing\r\n");
    testsupport::WriteBytes(f.Dados("kelo.tmp"), "1.0\r\n");
    for (bool withResults : {false, true}) {
        TestRunner runner(withResults);
        ScriptedUser user;
        QueueExecute(user);
        user.OnMessageBox([&](const CString& text, UINT) {
            EXPECT_EQ(text, CString("Erro a executar o " + f.Dados("kelo.exe")));
            return IDOK;
        });
        RunAnalysisCommand(f.doc, "x", 0, runner);
        EXPECT_TRUE(user.AllAnswered());
        ASSERT_EQ(user.ProcessStarts().size(), 1u);
        EXPECT_FALSE(user.ProcessStarts()[0].started);
        EXPECT_TRUE(user.TextViewers().empty());
        if (withResults) {
            EXPECT_TRUE(runner.Results()->calls.empty());
        }
    }
}

// A run that does not end well shows no results, whatever an earlier run left on disk:
// the engine's status, or its results file not written this time, is told, and "Sim"
// shows only a listing that this run wrote. Without such a listing nothing is offered.
TEST(EngineRun, FailedRunsShowNoResults) {
    AnalysisFixture f;
    auto question = [](int status) {
        return status == 0 ? CString("O programa kelo.exe terminou sem escrever os resultados. Ver a listagem?")
                           : FormatString("O programa kelo.exe terminou com erro (estado %d). Ver a listagem?", status);
    };
    auto backdate = [&](const char* name) {
        testsupport::WriteBytes(f.Dados(name), "de outra corrida\r\n");
        std::filesystem::last_write_time(f.Dados(name),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5));
    };
    struct Case {
        const char* steer;      // the fake engine's steering file and its text, or none
        const char* value;
        int status;
        int answer;
    };
    f.InstallEngine("kelo.exe");
    for (const Case& c : {Case{"exit_code", "3", 3, IDYES}, Case{"signal", "9", 128 + 9, IDNO},
                          Case{nullptr, nullptr, 0, IDYES}}) {
        SCOPED_TRACE(c.status);
        backdate("kelo.tmp");   // an earlier run's results; this run writes none
        backdate("kelo.prn");
        std::filesystem::remove(f.Dados("exit_code"));
        std::filesystem::remove(f.Dados("signal"));
        if (c.steer) testsupport::WriteBytes(f.Dados(c.steer), c.value);
        TestRunner runner(true);
        ScriptedUser user;
        QueueExecute(user);
        user.OnMessageBox([&](const CString& text, UINT type) {
            EXPECT_EQ(text, question(c.status));
            EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
            return c.answer;
        });
        RunAnalysisCommand(f.doc, "x", 0, runner);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_TRUE(runner.Results()->calls.empty());   // no results dialog
        if (c.answer == IDYES) {
            ASSERT_EQ(user.TextViewers().size(), 1u);
            EXPECT_EQ(user.TextViewers()[0].path, CString(f.Dados("kelo.prn")));
            EXPECT_NE(user.TextViewers()[0].text.Find(" Listagem de kelo"), -1);   // this run's
        } else {
            EXPECT_TRUE(user.TextViewers().empty());
        }
    }
    afx::CloseTextViewers();

    // An engine that writes no listing, or leaves it empty (a full disk): no question, only
    // what happened, with an OK button.
    std::filesystem::remove(f.Dados("kelo.exe"));
    std::filesystem::create_symlink("/bin/true", f.Dados("kelo.exe"));
    const std::string emptyListing = f.folder.File("lista-vazia.exe");
    testsupport::WriteBytes(emptyListing, "#!/bin/sh\n: > kelo.prn\nexit 3\n");
    std::filesystem::permissions(emptyListing, std::filesystem::perms::owner_all);
    for (bool withResults : {false, true}) {
        for (int status : {0, 3}) {
            SCOPED_TRACE(status);
            if (status == 3) {
                std::filesystem::remove(f.Dados("kelo.exe"));
                std::filesystem::create_symlink(emptyListing, f.Dados("kelo.exe"));
            }
            backdate("kelo.prn");
            TestRunner runner(withResults);
            ScriptedUser user;
            QueueExecute(user);
            user.OnMessageBox([&](const CString& text, UINT type) {
                EXPECT_EQ(text, status == 0 ? "O programa kelo.exe terminou sem escrever os resultados nem a listagem"
                                            : "O programa kelo.exe terminou com erro (estado 3) e não escreveu a listagem");
                EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
                return IDOK;
            });
            RunAnalysisCommand(f.doc, "x", 0, runner);
            EXPECT_TRUE(user.AllAnswered());
            EXPECT_TRUE(user.TextViewers().empty());
        }
        std::filesystem::remove(f.Dados("kelo.exe"));
        std::filesystem::create_symlink("/bin/true", f.Dados("kelo.exe"));
    }

    // An engine still running when the wait ends is left to run; nothing is shown.
    std::filesystem::remove(f.Dados("kelo.exe"));
    f.InstallEngine("kelo.exe");
    std::filesystem::remove(f.Dados("signal"));
    std::filesystem::remove(f.Dados("kelo.prn"));
    std::filesystem::remove(f.Dados("kelo.tmp"));
    testsupport::WriteBytes(f.Dados("kelo.out"), "1\r\n");
    testsupport::WriteBytes(f.Dados("sleep_ms"), "400");
    struct ShortWait {
        ShortWait() { SetEngineWaitLimit(50); }
        ~ShortWait() { SetEngineWaitLimit(ENGINE_WAIT_MS); }
    } shortWait;
    TestRunner runner(true);
    ScriptedUser user;
    QueueExecute(user);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "O programa kelo.exe não terminou no tempo limite");
        return IDOK;
    });
    RunAnalysisCommand(f.doc, "x", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(runner.Results()->calls.empty());
    EXPECT_TRUE(user.TextViewers().empty());
    for (int i = 0; i < 250 && !std::filesystem::exists(f.Dados("kelo.tmp")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(std::filesystem::exists(f.Dados("kelo.tmp")));   // it went on to its end
}

// An earlier run's files stamped in the very second that this run starts are still not
// this run's: an engine that writes nothing shows neither its results nor its listing.
TEST(EngineRun, FilesOfAnEarlierRunInTheSameSecondAreNotThisRunsResults) {
    AnalysisFixture f;
    std::filesystem::create_symlink("/bin/true", f.Dados("kelo.exe"));
    for (bool withResults : {false, true}) {
        SCOPED_TRACE(withResults);
        TestRunner runner(withResults);
        ScriptedUser user;
        user.OnDialog(kSelection, [](DialogDriver& d) {
            d.Tick(kVariableList, 0);
            d.Click(kNext);
        });
        user.OnDialog(kDefinition, [&](DialogDriver& d) {
            // Early in a second (but past the few milliseconds by which the file system's
            // clock may lag) and just before "Executar", so that the run starts in the
            // second that the files are stamped with.
            auto inSecond = [] {
                return std::chrono::system_clock::now().time_since_epoch() % std::chrono::seconds(1);
            };
            while (inSecond() < std::chrono::milliseconds(20) || inSecond() > std::chrono::milliseconds(200))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            testsupport::WriteBytes(f.Dados("kelo.tmp"), "1.0\r\n");
            testsupport::WriteBytes(f.Dados("kelo.prn"), "de outra corrida\r\n");
            d.Click(kExecute);
        });
        user.OnMessageBox([&](const CString& text, UINT) {
            EXPECT_EQ(text, "O programa kelo.exe terminou sem escrever os resultados nem a listagem");
            return IDOK;
        });
        RunAnalysisCommand(f.doc, "x", 0, runner);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_TRUE(user.TextViewers().empty());
        if (withResults) {
            EXPECT_TRUE(runner.Results()->calls.empty());
        }
    }
}

TEST(EngineRun, WindowsRepaintButTakeNoInputWhileTheEngineRuns) {
    AnalysisFixture f;
    f.InstallEngine("kelo.exe");
    testsupport::WriteBytes(f.Dados("sleep_ms"), "800");
    CCountingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "Contador", WS_POPUP, CRect(0, 0, 120, 80), nullptr, 0));
    wnd.ShowWindow(SW_SHOW);
    afx::ProcessPendingEvents();
    TestRunner runner(false);
    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);
        d.Click(kNext);
    });
    user.OnDialog(kDefinition, [&](DialogDriver& d) {
        wnd.paints = wnd.ticks = wnd.keys = 0;
        wnd.SetTimer(1, 40);
        d.Click(kExecute);
    });
    auto start = std::chrono::steady_clock::now();
    RunAnalysisCommand(f.doc, "x", 0, runner);
    auto elapsed = std::chrono::steady_clock::now() - start;
    wnd.KillTimer(1);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_GE(elapsed, std::chrono::milliseconds(800));
    EXPECT_GE(wnd.ticks, 3);
    EXPECT_GE(wnd.paints, 2);
    EXPECT_EQ(wnd.keys, 0);
    // The status bar named the engine while it ran, and is back to its idle text.
    EXPECT_NE(std::find(wnd.statusTexts.begin(), wnd.statusTexts.end(), CString("A executar kelo.exe...")),
              wnd.statusTexts.end());
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetStatusBar()->GetPaneText(0), "Ready");
    afx::PressKey(&wnd, 'A');   // after the run the window takes keys again
    EXPECT_EQ(wnd.keys, 1);
    afx::CloseTextViewers();
    wnd.DestroyWindow();
}

TEST(Process, StartFailuresAndAWaitThatGivesUpWithoutKilling) {
    testsupport::TempFolder dir;
    afx::ProcessHandle process;
    int error = 0;
    EXPECT_FALSE(afx::StartProcess(dir.File("nada.exe").c_str(), dir.Path().c_str(), &process, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(process.pid, 0);
    testsupport::WriteBytes(dir.File("texto.exe"), "not a program");
    EXPECT_FALSE(afx::StartProcess(dir.File("texto.exe").c_str(), dir.Path().c_str(), &process, &error));
    EXPECT_EQ(error, EACCES);

    std::filesystem::create_symlink(FAKE_ENGINE, dir.File("lento.exe"));
    testsupport::WriteBytes(dir.File("sleep_ms"), "1000");
    ASSERT_TRUE(afx::StartProcess(dir.File("lento.exe").c_str(), dir.Path().c_str(), &process, &error));
    int calls = 0;
    EXPECT_FALSE(afx::WaitForProcess(process, 30, [&] { ++calls; }));
    EXPECT_GE(calls, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("lento.prn")));
    // Left running, the program still finishes its work.
    for (int i = 0; i < 500 && !std::filesystem::exists(dir.File("lento.prn")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(std::filesystem::exists(dir.File("lento.prn")));

    std::filesystem::remove(dir.File("sleep_ms"));
    testsupport::WriteBytes(dir.File("exit_code"), "3");
    ASSERT_TRUE(afx::StartProcess(dir.File("lento.exe").c_str(), dir.Path().c_str(), &process, &error));
    int exitCode = -1;
    EXPECT_TRUE(afx::WaitForProcess(process, 10000, {}, &exitCode));
    EXPECT_EQ(exitCode, 3);
    EXPECT_EQ(process.pid, 0);
}

TEST(TextViewer, ShowsCopiesAndPrintsPagesOfAListing) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, "\f Vers\xE3o 7.00\r\n linha\r\n\f P\xE1gina 2\r\n\f P\xE1gina 3\r\n");
    const std::string shown = "\f Vers\xE3o 7.00\n linha\n\f P\xE1gina 2\n\f P\xE1gina 3\n";
    ScriptedUser user;
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    EXPECT_EQ(afx::LastTextViewerText(), CString(shown));
    EXPECT_EQ(afx::OpenTextViewerCount(), 1);

    afx::SetClipboardText("");
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Copy));
    EXPECT_EQ(afx::ClipboardText(), CString(shown));

    // Each form feed starts a new sheet; the one in front of the first line does not.
    std::string pdf = dir.File("lista.pdf");
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        return true;
    });
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Print));
    std::string bytes = testsupport::ReadBytes(pdf);
    std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 3);

    EXPECT_TRUE(afx::SaveTextViewerPng((testsupport::PictureFolder() + "/text_viewer.png").c_str()));
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Close));
    afx::ProcessPendingEvents();
    EXPECT_EQ(afx::OpenTextViewerCount(), 0);

    // A modal viewer is only recorded under the scripted user; a missing file is refused.
    EXPECT_TRUE(afx::ShowTextFile(path.c_str(), true));
    ASSERT_EQ(user.TextViewers().size(), 2u);
    EXPECT_TRUE(user.TextViewers()[1].modal);
    EXPECT_FALSE(afx::ShowTextFile(dir.File("nada.prn").c_str(), false));
    EXPECT_TRUE(user.AllAnswered());
}
