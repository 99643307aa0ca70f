#include <cmath>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engines/common/file_names.h"
#include "engines/common/matrix_blocks.h"
#include "engines/common/record_io.h"
#include "engines/common/separate_groups.h"
#include "engines/fenola/aggregation.h"
#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/fenola.h"
#include "engines/fenola/hierarchy.h"
#include "engines/fenola/listing.h"
#include "engines/fenola/team.h"

namespace fenola {
namespace {

// The pair (0-based objects i > j) of the first entry of the triangle, row by row, that is not
// a finite number, if any.
std::optional<std::pair<std::size_t, std::size_t>> FirstNonFinite(const Triangle& d, Team& team) {
    if (d.AllFinite(team)) return std::nullopt;
    for (std::size_t i = 1; i < d.Order(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (!std::isfinite(d(i, j))) return std::make_pair(i, j);
    return std::nullopt;
}

const char* MeasureName(int idist) {
    switch (idist) {
        case kCosTheta: return "COSENO DE TETA";
        case kReducedEuclidean: return "EUCLIDEANA REDUZIDA";
        case kCorrelation: return "COEFICIENTE DE CORRELACAO";
        case kEuclidean: return "EUCLIDEANA";
        case kChiSquare: return "KI-2";
        case kGower: return "GOWER";
        case kSteinhaus: return "STEINHAUS";
        default: return "COEFICIENTE DE KULCZYNSKI";
    }
}

// A run of the classification: the listing stays open for messages from the first step on.
class Run {
public:
    explicit Run(const std::string& folder) : folder_(folder) {}

    int Execute() {
        try {
            return Classify();
        } catch (const std::bad_alloc&) {
            return Stop("  Memória insuficiente");
        } catch (const std::length_error&) {
            return Stop("  Memória insuficiente");
        }
    }

private:
    int Classify();
    // A message that ends the run, in the listing and on the standard output.
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

    bool ReadParameters(RecordReader& par);
    void PrintBanner(std::size_t numeric, std::size_t literal);
    void PrintParameters();

    std::string folder_;
    RecordWriter listing_;
    int ns_ = 0;
    int nv_ = 0;
    int mode_ = 1;
    int idist_ = 0;
    int iagr_ = 0;
    FlexibleCoefficients coefficients_;
    std::string data_path_;
    std::string title_;
    std::size_t nlin_ = 0;
    std::size_t ncol_ = 0;
};

void Run::PrintBanner(std::size_t numeric, std::size_t literal) {
    listing_.Write(FormatText("   CLASSIFICAÇÃO ASCENDENTE HIERARQUICA", 51) + "Versão 7.00");
    listing_.Write(Repeat(" .", 65));
    listing_.Write(' ' + PadText(title_, 128));
    listing_.Write(Repeat(" .", 65));
    listing_.Write(" UTILIZAÇÃO DE MEMÓRIA");
    listing_.Write("    . Numérica" + FormatI(static_cast<long long>(numeric), 8));
    listing_.Write("    .  Literal" + FormatI(static_cast<long long>(literal), 8));
}

void Run::PrintParameters() {
    listing_.WriteBlank();
    listing_.Write(" PARÂMETROS LIDOS");
    listing_.WriteBlank();
    listing_.Write("     Nº de variáveis =" + FormatI(nv_, 4));
    listing_.Write("      Nº de amostras =" + FormatI(ns_, 4));
    listing_.Write("                nlin =" + FormatI(static_cast<long long>(nlin_), 4));
    listing_.Write("                ncol =" + FormatI(static_cast<long long>(ncol_), 4));
    listing_.Write("                modo =" + FormatI(mode_, 4));
    listing_.Write("               idist =" + FormatI(idist_, 4));
    listing_.Write("                iagr =" + FormatI(iagr_, 4));
    listing_.Write("             formato = Sem formato");
}

int Run::Classify() {
    // The listing first, so that every message has a place; an old hierarchy file must not
    // outlive a run that stops before writing the new one.
    listing_.Create("fenola.prn", folder_);
    std::error_code ignored;
    std::filesystem::remove(SystemFileName("sepop.inp", folder_), ignored);

    RecordReader par;
    if (!par.Open("fenola.par", folder_)) return Stop("  Erro no ficheiro de parâmetros fenola.par");
    int counts[2] = {0, 0};
    int codes[3] = {0, 0, 0};
    if (par.ReadInts(counts, 2) != ReadStatus::Ok || par.ReadInts(codes, 3) != ReadStatus::Ok)
        return ReadError(par, "fenola.par");
    ns_ = counts[0];
    nv_ = counts[1];
    mode_ = codes[0];
    idist_ = codes[1];
    iagr_ = codes[2];
    if (iagr_ == kFlexible) {
        float c[4] = {0, 0, 0, 0};
        if (par.ReadReals(c, 4) != ReadStatus::Ok) return ReadError(par, "fenola.par");
        coefficients_ = {c[0], c[1], c[2], c[3]};
    }
    if (par.ReadLine(data_path_) != ReadStatus::Ok || par.ReadLine(title_) != ReadStatus::Ok)
        return ReadError(par, "fenola.par");

    RecordReader data;
    if (!data.Open(data_path_, folder_)) return Stop("  Erro no ficheiro de dados");

    const bool q_mode = mode_ == 1;
    if (ns_ >= 1 && nv_ >= 1) {
        nlin_ = static_cast<std::size_t>(q_mode ? ns_ : nv_);
        ncol_ = static_cast<std::size_t>(q_mode ? nv_ : ns_);
    }
    // Work areas: the table, the triangle of dissimilarities, and per object its slot and
    // step records; the names.
    const std::size_t numeric = nlin_ * ncol_ + TriangleSize(nlin_) + 9 * nlin_;
    const std::size_t literal = 4 * (nlin_ + ncol_);
    PrintBanner(numeric, literal);
    if (ns_ < 1 || nv_ < 1)
        return Stop("  Número de amostras ou de variáveis inválido (" + std::to_string(ns_) + ", " +
                    std::to_string(nv_) + ")");

    // Counts the files cannot hold are refused before the work areas are reserved from them.
    if (par.LinesLeft() < nv_)
        return Stop("  O ficheiro fenola.par não pode conter os nomes das " + std::to_string(nv_) + " variáveis");
    if (!data.CanHoldTable(ns_, nv_))
        return Stop("  O ficheiro de dados não pode conter " + std::to_string(ns_) + " amostras de " +
                    std::to_string(nv_) + " valores");

    ObjectTable table;
    Triangle d;
    std::vector<std::string> sample_names;
    std::vector<std::string> variable_names;
    table.nlin = nlin_;
    table.ncol = ncol_;
    table.y.assign(nlin_ * ncol_, 0.0f);
    sample_names.resize(static_cast<std::size_t>(ns_));
    variable_names.resize(static_cast<std::size_t>(nv_));

    for (std::string& name : variable_names)
        if (par.ReadText(name, 4) != ReadStatus::Ok) return ReadError(par, "fenola.par");
    for (std::string& name : sample_names)
        if (data.ReadName(name) != ReadStatus::Ok) return ReadError(data, "de dados");
    std::vector<float> row(static_cast<std::size_t>(nv_));
    for (std::size_t s = 0; s < sample_names.size(); ++s) {
        if (data.ReadReals(row.data(), nv_) != ReadStatus::Ok) return ReadError(data, "de dados");
        for (std::size_t v = 0; v < row.size(); ++v) {
            if (q_mode)
                table.At(s, v) = row[v];
            else
                table.At(v, s) = row[v];
        }
    }
    data.Close();
    const std::vector<std::string>& object_names = q_mode ? sample_names : variable_names;
    const std::vector<std::string>& column_names = q_mode ? variable_names : sample_names;

    PrintParameters();
    int flags[3] = {0, 0, 0};
    if (par.ReadInts(flags, 3) != ReadStatus::Ok) return ReadError(par, "fenola.par");
    par.Close();
    if (!IsValidMeasure(idist_)) return Stop("  Código de distância inválido: " + std::to_string(idist_));
    if (nlin_ < 2) return Stop("  A classificação precisa de pelo menos 2 objectos");

    if (flags[0] != 0) {
        listing_.Write("\f" + Blanks(33) + "QUADRO DOS DADOS DE PARTIDA");
        std::vector<float> by_column(nlin_ * ncol_);
        for (std::size_t i = 0; i < nlin_; ++i)
            for (std::size_t k = 0; k < ncol_; ++k) by_column[i + k * nlin_] = table.At(i, k);
        PrintMatrixBlocks(listing_, flags[0], static_cast<int>(nlin_), static_cast<int>(ncol_), by_column.data(),
                          static_cast<int>(nlin_), object_names, column_names);
    }

    if (idist_ <= kReducedEuclidean) StandardiseColumns(table);
    // Threads only where the passes over the triangle or the steps can be shared out.
    Team team(nlin_ >= 2 * kDefaultGrain ? 0 : 1);
    if (const auto object = ComputeDissimilarities(table, idist_, d, team))
        return Stop("  O objecto " + FormatText(object_names[*object], 4) + " tem soma nula: a distância " +
                    MeasureName(idist_) + " não está definida");
    table.y = std::vector<float>();  // no longer needed
    if (const auto pair = FirstNonFinite(d, team))
        return Stop("  A distância entre " + TrimTrailingBlanks(object_names[pair->first]) + " e " +
                    TrimTrailingBlanks(object_names[pair->second]) +
                    " não é um número finito: valores grandes demais para o cálculo");
    if (flags[1] != 0) PrintTriangularTable(listing_, idist_, d, object_names);
    if (IsSimilarity(idist_)) SimilaritiesToDissimilarities(d.Values());

    listing_.Write("\f" + Blanks(37) + "CLASSIFICACAO ASCENDENTE HIERARQUICA" + (q_mode ? " (MODO-Q)" : " (MODO-R)"));
    const std::vector<Step> steps = Aggregate(d, iagr_, coefficients_, team);
    d.Clear();
    for (std::size_t k = 0; k < steps.size(); ++k)
        if (!std::isfinite(steps[k].level))
            return Stop("  O nível de agregação do passo " + std::to_string(k + 1) +
                        " não é um número finito: valores ou coeficientes grandes demais para o cálculo");
    PrintSteps(listing_, iagr_, coefficients_, steps, object_names);
    if (flags[2] != 0) PrintClassDescriptions(listing_, steps, object_names);
    const auto positions = DendrogramPositions(nlin_, steps);
    PrintDendrogram(listing_, steps, object_names, positions, q_mode ? 2 : 5);

    if (positions) {
        Hierarchy hierarchy;
        hierarchy.position = *positions;
        for (const Step& s : steps) {
            hierarchy.left.push_back(s.left);
            hierarchy.right.push_back(s.right);
            hierarchy.level.push_back(s.level);
        }
        RecordWriter sepop;
        if (!sepop.Create("sepop.inp", folder_)) return Stop("  Erro ao criar o ficheiro sepop.inp");
        WriteHierarchyFile(sepop, hierarchy, object_names);
        if (!sepop.Close()) return Stop("  Erro ao escrever o ficheiro sepop.inp");
    }
    // A listing that could not be written (a full disk) fails the run.
    const bool written = listing_.Close();
    return positions && written ? 0 : 1;
}

}  // namespace
}  // namespace fenola

int FenolaMain(const std::string& folder) {
    fenola::Run run(folder);
    return run.Execute();
}
