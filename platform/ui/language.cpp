// The toolkit's own dialogs (file, print, message boxes) in the program's language.
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

#include "platform/ui/qt_bridge.h"

namespace afx {

namespace {

// The texts that the toolkit's European Portuguese translation lacks, in the words that the
// program's own dialogs use: the standard buttons of Qt 6 and what the print and file
// dialogs show on their first page.
class ToolkitWords : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* source, const char*, int) const override {
        if (!context || !source) return {};
        static const struct {
            const char* context;
            const char* english;
            const char* ours;
        } kWords[] = {
            {"QPlatformTheme", "OK", "OK"},
            {"QPlatformTheme", "Cancel", "Cancelar"},
            {"QPlatformTheme", "Open", "Abrir"},
            {"QPlatformTheme", "Save", "Gravar"},
            {"QPlatformTheme", "Save All", "Gravar Tudo"},
            {"QPlatformTheme", "&Yes", "&Sim"},
            {"QPlatformTheme", "Yes to &All", "Sim a &Todos"},
            {"QPlatformTheme", "&No", "&Não"},
            {"QPlatformTheme", "N&o to All", "Nã&o a Todos"},
            {"QPlatformTheme", "Abort", "&Anular"},
            {"QPlatformTheme", "Retry", "&Repetir"},
            {"QPlatformTheme", "Ignore", "&Ignorar"},
            {"QPlatformTheme", "Close", "Fechar"},
            {"QPlatformTheme", "Discard", "Descartar"},
            {"QPlatformTheme", "Help", "Ajuda"},
            {"QPlatformTheme", "Apply", "Aplicar"},
            {"QPlatformTheme", "Reset", "Repor"},
            {"QPlatformTheme", "Restore Defaults", "Repor Predefinições"},
            {"QGnomeTheme", "&OK", "&OK"},
            {"QGnomeTheme", "&Save", "&Gravar"},
            {"QGnomeTheme", "&Cancel", "&Cancelar"},
            {"QGnomeTheme", "&Close", "&Fechar"},
            {"QGnomeTheme", "Close without Saving", "Fechar sem Gravar"},
            {"QPrintDialog", "&Print", "&Imprimir"},
            {"QPrintDialog", "&Options >>", "&Opções >>"},
            {"QPrintDialog", "&Options <<", "&Opções <<"},
            {"QPrintDialog", "Print to File (PDF)", "Imprimir para Ficheiro (PDF)"},
            {"QPrintDialog", "Local file", "Ficheiro local"},
            {"QPrintDialog", "Write PDF file", "Escrever ficheiro PDF"},
            {"QPrintDialog", "All Pages", "Todas as Páginas"},
            {"QPrintDialog", "Odd Pages", "Páginas Ímpares"},
            {"QPrintDialog", "Even Pages", "Páginas Pares"},
            {"QPrintWidget", "&Name:", "&Nome:"},
            {"QPrintWidget", "P&roperties", "P&ropriedades"},
            {"QPrintWidget", "Location:", "Localização:"},
            {"QPrintWidget", "Preview", "Pré-visualizar"},
            {"QPrintWidget", "Type:", "Tipo:"},
            {"QPrintWidget", "Output &file:", "&Ficheiro de saída:"},
            {"QPrintSettingsOutput", "Pages", "Páginas"},
            {"QPrintSettingsOutput", "Current Page", "Página Actual"},
            {"QPrintSettingsOutput", "Page Set:", "Conjunto de Páginas:"},
            {"QPrintSettingsOutput", "Output Settings", "Definições de Saída"},
            {"QPrintSettingsOutput", "Copies:", "Cópias:"},
            {"QPrintSettingsOutput", "Reverse", "Ordem inversa"},
            {"QPrintSettingsOutput", "Color Mode", "Modo de Cor"},
            {"QPrintSettingsOutput", "Color", "Cor"},
            {"QPrintSettingsOutput", "Grayscale", "Tons de cinzento"},
            {"QPrintSettingsOutput", "Double Sided Printing", "Impressão em Frente e Verso"},
            {"QPrintSettingsOutput", "Off", "Desligada"},
            {"QPrintSettingsOutput", "Long side binding", "Pelo lado maior"},
            {"QPrintSettingsOutput", "Short side binding", "Pelo lado menor"},
            {"QFileDialog", "Look in:", "Procurar em:"},
            {"QFileSystemModel", "Computer", "Computador"},
            {"QAbstractFileIconProvider", "Folder", "Pasta"},
            {"QAbstractFileIconProvider", "Drive", "Unidade"},
        };
        for (const auto& word : kWords)
            if (std::strcmp(source, word.english) == 0 && std::strcmp(context, word.context) == 0)
                return ToQ(word.ours);
        return {};
    }

    bool isEmpty() const override { return false; }
};

}  // namespace

void UseProgramLanguage() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<QTranslator*>(QStringLiteral("afxToolkitWords"))) return;
    // European Portuguese, whatever the desktop's language: the program speaks no other.
    auto* toolkit = new QTranslator(app);
    if (toolkit->load(QStringLiteral("qt_pt_PT"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(toolkit);
    else
        delete toolkit;
    // Installed last, so asked first.
    auto* words = new ToolkitWords(app);
    words->setObjectName(QStringLiteral("afxToolkitWords"));
    QCoreApplication::installTranslator(words);
}

CString ToolkitText(const char* context, const char* text) {
    return FromQ(QCoreApplication::translate(context, text));
}

}  // namespace afx
