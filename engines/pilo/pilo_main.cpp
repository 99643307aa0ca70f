#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "engines/common/file_names.h"
#include "engines/common/record_io.h"
#include "engines/common/separate_groups.h"
#include "engines/pilo/group_summary.h"
#include "engines/pilo/pilo.h"

namespace pilo {
namespace {

// A field of a fixed-width record: blanks alone read as 0, like the engines' reading layer.
bool ParseInteger(std::string_view field, std::size_t& value) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        value = 0;
        return true;
    }
    const std::size_t last = field.find_last_not_of(' ');
    field = field.substr(first, last - first + 1);
    if (!field.empty() && field[0] == '+') field.remove_prefix(1);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size();
}

bool ParseReal(std::string_view field, float& value) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        value = 0.0f;
        return true;
    }
    const std::string text(field.substr(first, field.find_last_not_of(' ') - first + 1));
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

class Run {
public:
    explicit Run(const std::string& folder) : folder_(folder) {}

    int Execute() {
        try {
            return Separate();
        } catch (const std::bad_alloc&) {
            return Stop("  Memória insuficiente");
        } catch (const std::length_error&) {
            return Stop("  Memória insuficiente");
        }
    }

private:
    int Separate();
    void PrintBanner(long long numeric, long long literal);
    bool ReadHierarchy(RecordReader& in);
    std::string CheckHierarchy() const;

    int Stop(const std::string& message) {
        listing_.Write(message);
        std::fputs(message.c_str(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        listing_.Close();
        return 1;
    }
    int ReadError(const RecordReader& in, const std::string& file) {
        return Stop("  Erro na leitura do ficheiro " + file + " (linha " + std::to_string(in.LineNumber()) + ")");
    }

    std::string folder_;
    RecordWriter listing_;
    std::size_t ns_ = 0;
    std::size_t nv_ = 0;
    std::string title_;
    std::vector<std::string> hierarchy_names_;
    Hierarchy hierarchy_;
    std::vector<std::string> sample_names_;
};

void Run::PrintBanner(long long numeric, long long literal) {
    listing_.Write(FormatText("   SEPARAÇÃO EM GRUPOS", 51) + "Versão 7.00");
    listing_.Write(Repeat(" .", 65));
    listing_.WriteBlank();
    listing_.Write(' ' + PadText(title_, 128));
    listing_.WriteBlank();
    listing_.Write(Repeat(" .", 65));
    listing_.Write(" UTILIZAÇÃO DE MEMÓRIA");
    listing_.Write("     . Numérica" + FormatI(numeric, 8));
    listing_.Write("     .  Literal" + FormatI(literal, 8));
}

// NS records of sepop.inp: name (4), position (I8), the two objects of the step (I8 each) and
// its level (E13.6).
bool Run::ReadHierarchy(RecordReader& in) {
    hierarchy_names_.resize(ns_);
    hierarchy_.position.resize(ns_);
    const std::size_t steps = ns_ - 1;
    hierarchy_.left.resize(steps);
    hierarchy_.right.resize(steps);
    hierarchy_.level.resize(steps);
    std::string record;
    for (std::size_t i = 0; i < ns_; ++i) {
        if (in.ReadText(record, 41) != ReadStatus::Ok) return false;
        std::size_t left = 0;
        std::size_t right = 0;
        float level = 0.0f;
        hierarchy_names_[i] = record.substr(0, 4);
        if (!ParseInteger(std::string_view(record).substr(4, 8), hierarchy_.position[i]) ||
            !ParseInteger(std::string_view(record).substr(12, 8), left) ||
            !ParseInteger(std::string_view(record).substr(20, 8), right) ||
            !ParseReal(std::string_view(record).substr(28, 13), level))
            return false;
        if (i < steps) {
            hierarchy_.left[i] = left;
            hierarchy_.right[i] = right;
            hierarchy_.level[i] = level;
        }
    }
    return true;
}

// Empty when the hierarchy fits the data: the same names in the same order, positions that
// place every object once, and steps that join two clusters still apart.
std::string Run::CheckHierarchy() const {
    for (std::size_t i = 0; i < ns_; ++i)
        if (FormatText(hierarchy_names_[i], 4) != FormatText(sample_names_[i], 4)) return "os nomes diferem dos dados";
    std::vector<char> placed(ns_, 0);
    for (std::size_t p : hierarchy_.position) {
        if (p < 1 || p > ns_ || placed[p - 1]) return "as posições não são uma permutação";
        placed[p - 1] = 1;
    }
    // The representative of a cluster is its leftmost object: after a step, the one of the
    // two further right no longer represents anything.
    std::vector<char> absorbed(ns_, 0);
    for (std::size_t k = 0; k < hierarchy_.left.size(); ++k) {
        const std::size_t a = hierarchy_.left[k];
        const std::size_t b = hierarchy_.right[k];
        if (a < 1 || a > ns_ || b < 1 || b > ns_ || a == b || absorbed[a - 1] || absorbed[b - 1])
            return "o passo " + std::to_string(k + 1) + " não une dois grupos";
        absorbed[hierarchy_.position[a - 1] > hierarchy_.position[b - 1] ? a - 1 : b - 1] = 1;
    }
    return {};
}

int Run::Separate() {
    listing_.Create("pilo.prn", folder_);
    RecordReader par;
    if (!par.Open("fenola.par", folder_)) return Stop("  Erro no ficheiro de parâmetros fenola.par");
    int counts[2] = {0, 0};
    int codes[3] = {0, 0, 0};
    if (par.ReadInts(counts, 2) != ReadStatus::Ok || par.ReadInts(codes, 3) != ReadStatus::Ok)
        return ReadError(par, "fenola.par");
    std::string data_path;
    if (codes[2] == 5 && par.SkipRecord() != ReadStatus::Ok) return ReadError(par, "fenola.par");
    if (par.ReadLine(data_path) != ReadStatus::Ok || par.ReadLine(title_) != ReadStatus::Ok)
        return ReadError(par, "fenola.par");
    // A run that stops must not leave an earlier run's groups beside the data.
    const std::string group_file = MakeFileNameWithExtension(data_path, "gru");
    std::error_code ignored;
    std::filesystem::remove(SystemFileName(group_file, folder_), ignored);
    RecordReader data;
    if (!data.Open(data_path, folder_)) return Stop("  Erro no ficheiro de dados");

    if (counts[0] >= 1 && counts[1] >= 1) {
        ns_ = static_cast<std::size_t>(counts[0]);
        nv_ = static_cast<std::size_t>(counts[1]);
    }
    // Work areas: the data and a group's copy of it, the cross-products and the per-variable
    // sums, the hierarchy; the names and the two texts.
    const long double ns = static_cast<long double>(ns_), nv = static_cast<long double>(nv_);
    PrintBanner(ClampedCount(2 * ns * nv + nv * nv + 4 * nv + 4 * ns), ClampedCount(4 * (ns + nv) + 2 * 128));
    if (ns_ == 0) return Stop("  Número de amostras ou de variáveis inválido");
    if (codes[0] != 1) return Stop("  A separação em grupos só se faz numa classificação em modo Q");

    // Counts the files cannot hold are refused before the work areas are reserved from them.
    if (par.LinesLeft() < static_cast<long long>(nv_))
        return Stop("  O ficheiro fenola.par não pode conter os nomes das " + std::to_string(nv_) + " variáveis");
    if (!data.CanHoldTable(static_cast<long long>(ns_), static_cast<long long>(nv_)))
        return Stop("  O ficheiro de dados não pode conter " + std::to_string(ns_) + " amostras de " +
                    std::to_string(nv_) + " valores");
    RecordReader sepop;
    if (!sepop.Open("sepop.inp", folder_))
        return Stop("  Não há ficheiro sepop.inp: a classificação não terminou");
    if (sepop.LinesLeft() < static_cast<long long>(ns_))
        return Stop("  O ficheiro sepop.inp não pode conter os " + std::to_string(ns_) + " objectos");
    if (!ReadHierarchy(sepop)) return ReadError(sepop, "sepop.inp");

    std::vector<std::string> variable_names(nv_);
    for (std::string& name : variable_names)
        if (par.ReadText(name, 4) != ReadStatus::Ok) return ReadError(par, "fenola.par");
    par.Close();
    sample_names_.resize(ns_);
    for (std::string& name : sample_names_)
        if (data.ReadName(name) != ReadStatus::Ok) return ReadError(data, "de dados");
    std::vector<float> table(ns_ * nv_);
    for (std::size_t s = 0; s < ns_; ++s)
        if (data.ReadReals(&table[s * nv_], static_cast<int>(nv_)) != ReadStatus::Ok)
            return ReadError(data, "de dados");
    data.Close();
    if (const std::string problem = CheckHierarchy(); !problem.empty())
        return Stop("  O ficheiro sepop.inp não corresponde aos dados: " + problem);

    RecordReader cut_file;
    float cut = 0.0f;
    if (!cut_file.Open("pilo.par", folder_) || cut_file.ReadReals(&cut, 1) != ReadStatus::Ok) {
        listing_.Write(FormatText("", 5) + "Erro na leitura");  // in a field of 20
        listing_.Close();
        return 1;
    }

    const GroupSeparation separation = SeparateGroups(listing_, hierarchy_, cut, sample_names_);
    if (separation.outcome == CutOutcome::Groups) {
        std::vector<float> rows;
        for (std::size_t g = 1; g <= separation.groups; ++g) {
            rows.clear();
            std::size_t members = 0;
            for (std::size_t s = 0; s < ns_; ++s) {
                if (separation.group[s] != g) continue;
                rows.insert(rows.end(), table.begin() + static_cast<std::ptrdiff_t>(s * nv_),
                            table.begin() + static_cast<std::ptrdiff_t>((s + 1) * nv_));
                ++members;
            }
            if (members < 2) continue;
            listing_.Write("1" + Blanks(47) + "Grupo" + FormatI(static_cast<long long>(g), 3));
            listing_.WriteBlank(2);
            PrintGroupSummary(listing_, SummariseGroup(rows, members, nv_), variable_names);
        }
    }

    RecordWriter groups;
    if (!groups.Create(group_file, folder_)) return Stop("  Erro ao criar o ficheiro " + TrimTrailingBlanks(group_file));
    for (std::size_t s = 0; s < ns_; ++s)
        groups.Write(FormatText(sample_names_[s], 4) + FormatI(static_cast<long long>(separation.group[s]), 3));
    if (!groups.Close()) return Stop("  Erro ao escrever o ficheiro " + TrimTrailingBlanks(group_file));
    // A listing that could not be written (a full disk) fails the run.
    return listing_.Close() ? 0 : 1;
}

}  // namespace
}  // namespace pilo

int PiloMain(const std::string& folder) {
    pilo::Run run(folder);
    return run.Execute();
}
