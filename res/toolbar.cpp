// The toolbar: its buttons and their pictures (made by scripts/draw_toolbar.py).
#include "res/resource_ids.h"
#include "res/resources.h"

namespace tabulon_res {

std::vector<afx::PaletteEntry> Palette() {
    return {
        {'k', 0x000000},
        {'g', 0x808080},
        {'l', 0xC0C0C0},
        {'w', 0xFFFFFF},
        {'b', 0xFF0000},
        {'n', 0x800000},
        {'r', 0x0000FF},
        {'m', 0x000080},
        {'G', 0x008000},
        {'y', 0x00FFFF},
    };
}

std::vector<afx::ToolbarTemplate> Toolbars() {
    afx::ToolbarTemplate t;
    t.id = IDR_TOOLBAR;
    t.buttonWidth = 16;
    t.buttonHeight = 15;
    t.commands = {ID_STATS_HISTOGRAM, ID_STATS_BOXPLOT, ID_STATS_DESCRIPTIVE, ID_SEPARATOR,
                  ID_STATS_SCATTER, ID_STATS_REGRESSION, ID_SEPARATOR,
                  ID_ANALYSIS_PRINCIPAL, ID_ANALYSIS_BINARY, ID_ANALYSIS_MULTIPLE,
                  ID_ANALYSIS_CLASSIFICATION};
    t.pictures = {
        // Histograma
        {
            "                ",
            "                ",
            "                ",
            "    kkkk        ",
            "    knnk        ",
            "    knnkkkkk    ",
            "    knnkknnk    ",
            "    knnkknnk    ",
            "kkkkknnkknnk    ",
            "knnkknnkknnk    ",
            "knnkknnkknnkkkkk",
            "knnkknnkknnkknnk",
            "knnkknnkknnkknnk",
            "kkkkkkkkkkkkkkkk",
            "                ",
        },
        // Boxplot
        {
            "                ",
            "     kkkkk      ",
            "       k        ",
            "       k        ",
            "   kkkkkkkkk    ",
            "   kyyyyyyyk    ",
            "   kyyyyyyyk    ",
            "   rrrrrrrrr    ",
            "   kyyyyyyyk    ",
            "   kyyyyyyyk    ",
            "   kkkkkkkkk    ",
            "       k        ",
            "       k        ",
            "     kkkkk      ",
            "                ",
        },
        // Estatísticas Descritivas
        {
            "                ",
            "   nnnnnnnnnn   ",
            "   nnnnnnnnnn   ",
            "   nn       n   ",
            "    nn          ",
            "     nn         ",
            "      nn        ",
            "       nn       ",
            "      nn        ",
            "     nn         ",
            "    nn          ",
            "   nn       n   ",
            "   nnnnnnnnnn   ",
            "   nnnnnnnnnn   ",
            "                ",
        },
        // Diagramas de Dispersão
        {
            "                ",
            " k              ",
            " k          rr  ",
            " k          rr  ",
            " k       rr     ",
            " k  rr   rrrr   ",
            " k  rrrr   rr   ",
            " k    rrrr      ",
            " k      rr      ",
            " k rr           ",
            " k rrrr         ",
            " k   rr         ",
            " k              ",
            " kkkkkkkkkkkkkk ",
            "                ",
        },
        // Regressão Linear
        {
            "                ",
            " k            b ",
            " k          rb  ",
            " k          br  ",
            " k       rrb    ",
            " k       rbrr   ",
            " k    rrbb rr   ",
            " k    rbrr      ",
            " k    b rr      ",
            " k rrb          ",
            " k rbrr         ",
            " k b rr         ",
            " kb             ",
            " kkkkkkkkkkkkkk ",
            "                ",
        },
        // componentes principais
        {
            "       g        ",
            "       g     rr ",
            "       g     rr ",
            "       g    rn  ",
            "       g  nr    ",
            "       gn rn    ",
            "       g r      ",
            "gggggggrrggggggg",
            "     nrg        ",
            "   n rng        ",
            "    r  g        ",
            "  nr   g        ",
            "  r    g        ",
            " r     g        ",
            "       g        ",
        },
        // correspondências binárias
        {
            "                ",
            "                ",
            " kkkkkkkkkkkkk  ",
            " knnnkwwwknnnk  ",
            " knnnkwwwknnnk  ",
            " knnnkwwwknnnk  ",
            " kkkkkkkkkkkkk  ",
            " kwwwknnnknnnk  ",
            " kwwwknnnknnnk  ",
            " kwwwknnnknnnk  ",
            " kkkkkkkkkkkkk  ",
            " knnnknnnkwwwk  ",
            " knnnknnnkwwwk  ",
            " knnnknnnkwwwk  ",
            " kkkkkkkkkkkkk  ",
        },
        // correspondências múltiplas
        {
            "       g        ",
            "       g        ",
            "  rr   g  GG    ",
            "  rr   g  GG    ",
            "    rr g    GG  ",
            "    rr g    GG  ",
            "       g        ",
            "gggggggggggggggg",
            "       g        ",
            "       g        ",
            "   bb  g   mm   ",
            "   bb  g   mm   ",
            "     bbg mm     ",
            "     bbg mm     ",
            "       g        ",
        },
        // classificação hierárquica
        {
            "                ",
            "                ",
            "   nnnnnnnnnn   ",
            "   n        n   ",
            "   n        n   ",
            "   n        n   ",
            "   n     nnnnnn ",
            "   n     n    n ",
            "   n     n    n ",
            "   n    nnnn  n ",
            "  nnnn  n  n  n ",
            "  n  n  n  n  n ",
            "  n  n  n  n  n ",
            " rr rr rr rr rr ",
            "                ",
        },
    };
    return {t};
}

}  // namespace tabulon_res
