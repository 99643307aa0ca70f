// Every text of every dialog template fits its control in the dialog font.
#include <gtest/gtest.h>

#include "platform/ui/text_fit.h"
#include "res/resources.h"
#include "tests/support/gui_test.h"

namespace {

using afx::Ctl;

TEST(DialogTemplates, EveryTextFitsItsControlInTheDialogFont) {
    // The measure itself: a heading cut short, a two-line button and a wrapped static that
    // fit, the same static one line too low, a check box too narrow.
    const afx::DialogTemplate sample{9999, "Amostra", {0, 0, 200, 100},
                                     {
                                         {Ctl::GroupBox, -1, "Selecção de Identificador das Linhas", {5, 5, 60, 40}},
                                         {Ctl::PushButton, 1, "Divisão em\nClasses", {5, 50, 50, 22}},
                                         {Ctl::Static, 2, "Número de Classes para Cada Variável", {70, 5, 80, 16}},
                                         {Ctl::Static, 3, "Número de Classes para Cada Variável", {70, 25, 80, 8}},
                                         {Ctl::CheckBox, 4, "Identificação de Valores Anómalos", {70, 40, 80, 10}},
                                     }};
    const std::vector<std::string> cut = afx::TextsThatDoNotFit(sample);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[0].rfind("dialog 9999 control -1 \"Selecção de Identificador das Linhas\"", 0), 0u) << cut[0];
    EXPECT_EQ(cut[1].rfind("dialog 9999 control 3 ", 0), 0u) << cut[1];
    EXPECT_EQ(cut[2].rfind("dialog 9999 control 4 ", 0), 0u) << cut[2];

    std::vector<std::string> clipped;
    for (const afx::DialogTemplate& dialog : TabulonResources().dialogs)
        for (const std::string& line : afx::TextsThatDoNotFit(dialog)) clipped.push_back(line);
    EXPECT_EQ(clipped, std::vector<std::string>{});
}

}  // namespace
