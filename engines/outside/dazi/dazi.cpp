#include "engines/outside/dazi/dazi.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <vector>

#include "engines/common/analysis_listing.h"
#include "engines/common/coordinate_files.h"
#include "engines/common/file_names.h"
#include "engines/common/planes.h"
#include "engines/common/record_io.h"
#include "engines/outside/dazi/recoding.h"
#include "engines/outside/shared/listing.h"
#include "engines/outside/shared/symmetric_eigen.h"

namespace {

using Index = std::size_t;

constexpr double kSumFloor = 1e-6;   // a row with no active modality gets this sum: its profile is 0
constexpr double kZero = 1e-12;      // an eigenvalue or inertia at or below this counts as 0
constexpr int kMaxClasses = 999999;  // the largest class count the recoding pages accept

class DaziRun {
public:
    explicit DaziRun(std::string folder) : folder_(std::move(folder)) {}
    int Execute();

private:
    int Run();
    bool ParameterRead(ReadStatus status, const RecordReader& in, const char* what);
    int ReadParameters(RecordReader& par);
    bool CheckParameters();
    void PrintParameters();
    int Recode();
    void WriteRecodingListing();
    bool Compute();
    bool WriteResults();
    void PrintCoordinates();
    bool WriteCoordinateFiles(const std::vector<std::string>& modalities);
    void DrawPlanes(const std::vector<std::string>& modalities);
    std::vector<std::string> OrderedModalities() const;
    bool WriteTables();

    std::string folder_;
    RecordWriter prn_;
    RecordWriter recod_;

    // dazi.par
    int n_ = 0, q_ = 0, k_ = 0, m_ = 0;
    std::string dataPath_, title_;
    std::vector<std::string> colIds_;
    std::vector<ClassDivision> divisions_;
    int recodedFlag_ = 0, disjunctiveFlag_ = 0, burtFlag_ = 0, graphicsFileFlag_ = 0;
    int j_ = 0, maxModalities_ = 0;
    std::vector<int> modCounts_, codes_;
    std::vector<std::string> modIds_;
    int rowsTotal_ = 0, a_ = 0, j2_ = 0, a2_ = 0, nf_ = 0;
    bool projected_ = false, flagsRead_ = false;
    std::vector<int> modFlags_;
    int graphs_ = 0, pages_ = 1, lines_ = 65;
    double deviations_ = 2.5;
    std::vector<Index> firstModality_;  // per column, its first modality in the global order

    // Data and recoding.
    DataMatrix data_;
    std::vector<int> modality_;  // n x m, row-major: each cell's modality (global index)
    std::vector<ColumnRecoding> recodings_;
    bool recodingWritten_ = false;

    // Results, modalities in result order (active ones, then the others, each in column and
    // modality order).
    std::vector<Index> order_;
    FactorTable factors_;
    std::vector<double> eigenvalues_;  // of the analysed matrix but its trivial axis, nulls as 0
    std::vector<double> modMass_, modD2_, modCoord_;  // modCoord_: J x nf, column-major
    std::vector<double> rowMass_, rowD2_, rowCoord_;  // rowCoord_: n x nf, column-major
};

int DaziRun::Execute() {
    const bool listing = prn_.Create("dazi.prn", folder_);
    if (!listing) {
        std::remove(SystemFileName("dazi.tmp", folder_).c_str());
        return kDaziNoListing;
    }
    // After the run: a recoding listing notes a recoding that was not done.
    const auto closeListings = [this] {
        if (recod_.IsOpen() && !recodingWritten_) {
            recod_.WriteBlank();
            recod_.Write(" ATENÇÃO - a recodificação não foi feita: veja a listagem dazi.prn");
        }
        const bool recodingClosed = !recod_.IsOpen() || recod_.Close();
        return prn_.Close() && recodingClosed;
    };
    return RunKeepingNoStaleResults(prn_, SystemFileName("dazi.tmp", folder_),
                                    " Verifique o Nº de Linhas e o Nº de Modalidades", kDaziOk, kDaziNoMemory,
                                    kDaziOutputError, [this] { return Run(); }, closeListings);
}

bool DaziRun::ParameterRead(ReadStatus status, const RecordReader& in, const char* what) {
    return CheckParameterRead(prn_, "dazi.par", status, in, what);
}

int DaziRun::Run() {
    // The recoding listing of an earlier run must not outlive this one.
    recod_.Create("recod.prn", folder_);
    RecordReader par;
    if (!par.Open("dazi.par", folder_)) {
        WriteAlert(prn_, "ATENÇÃO - ERRO NO FICHEIRO dazi.par", {" O ficheiro não existe ou não pode ser lido"});
        return kDaziParameterError;
    }
    int head[3] = {0, 0, 0};
    if (!ParameterRead(par.ReadInts(head, 3), par, "Nº de linhas e de colunas quantitativas e qualitativas") ||
        !ParameterRead(par.ReadLine(dataPath_), par, "ficheiro de dados") ||
        !ParameterRead(par.ReadLine(title_), par, "título"))
        return kDaziParameterError;
    n_ = head[0];
    q_ = head[1];
    k_ = head[2];
    // Counts in 64 bits: two large column counts must not wrap into a small one.
    const long long columns = static_cast<long long>(q_) + k_;
    const bool countsValid =
        n_ >= 2 && q_ >= 0 && k_ >= 0 && columns >= 1 && columns <= std::numeric_limits<int>::max();
    long long numeric = 0, literal = 0;
    if (countsValid) {
        const long double n = n_, m = static_cast<long double>(columns);
        numeric = ClampedCount(2 * n * m + 16 * m * m + 4 * n);
        literal = ClampedCount(4 * (n + 2 * m) + 2 * 128);
    }
    WriteBanner(prn_, "ANÁLISE DAS CORRESPONDÊNCIAS MÚLTIPLAS", title_, numeric, literal);
    if (recod_.IsOpen()) {
        recod_.Write("   RECODIFICAÇÃO DAS VARIÁVEIS QUANTITATIVAS");
        recod_.Write(' ' + Repeat(" .", 65));
        recod_.Write(' ' + title_);
        recod_.Write(' ' + Repeat(" .", 65));
    }
    if (!countsValid) {
        WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS",
                   {" Nº de Linhas" + FormatI(n_, 8) + " (são precisas pelo menos 2)",
                    " Nº de Colunas quantitativas" + FormatI(q_, 11) + "   qualitativas" + FormatI(k_, 11),
                    " Nº total de colunas" + FormatI(columns, 12) + " (pelo menos 1, no máximo " +
                        std::to_string(std::numeric_limits<int>::max()) + ")"});
        return kDaziRefused;
    }
    m_ = static_cast<int>(columns);
    const int status = ReadParameters(par);
    if (status != kDaziOk)
        return status;
    par.Close();
    PrintParameters();
    if (!CheckParameters())
        return kDaziRefused;

    const DataReadStatus read = ReadDataMatrix(SystemFileName(dataPath_, folder_), n_, m_, data_, prn_);
    if (read == DataReadStatus::CannotOpen)
        WriteAlert(prn_, "ATENÇÃO - FICHEIRO DE DADOS", {" Não foi possível abrir o ficheiro de dados:", ' ' + dataPath_});
    if (read != DataReadStatus::Ok)
        return kDaziDataError;
    for (std::string& name : data_.names)
        name = ResultName(name);
    const int recoded = Recode();
    if (recoded != kDaziOk)
        return recoded;

    if (!Compute())
        return kDaziNumericError;
    if (!WriteResults())
        return kDaziOutputError;
    WriteFactorListing(prn_, factors_, TotalField::Free);
    PrintCoordinates();
    bool filesWritten = WriteTables();
    const std::vector<std::string> modalities = OrderedModalities();
    if (graphicsFileFlag_ != 0)
        filesWritten = WriteCoordinateFiles(modalities) && filesWritten;
    DrawPlanes(modalities);
    prn_.Write("\f");
    return prn_.Good() && filesWritten ? kDaziOk : kDaziOutputError;
}

int DaziRun::ReadParameters(RecordReader& par) {
    auto refuse = [&](const std::string& line) {
        WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS", {line});
        return kDaziRefused;
    };
    // Counts that dazi.par cannot hold are refused before anything is reserved from them.
    auto cannotHold = [&](long long lines, const std::string& what) {
        if (par.LinesLeft() >= lines)
            return false;
        WriteAlert(prn_, "ATENÇÃO - ERRO NO FICHEIRO dazi.par", {" O ficheiro não pode conter " + what});
        return true;
    };
    if (cannotHold(m_, "os identificadores das " + std::to_string(m_) + " colunas"))
        return kDaziParameterError;
    colIds_.assign(static_cast<Index>(m_), std::string());
    for (std::string& id : colIds_) {
        if (!ParameterRead(par.ReadLine(id), par, "identificadores das colunas"))
            return kDaziParameterError;
        id = ResultName(id);
    }
    divisions_.assign(static_cast<Index>(q_), ClassDivision{});
    for (int c = 0; c < q_; ++c) {
        ClassDivision& division = divisions_[static_cast<Index>(c)];
        if (!ParameterRead(par.ReadInts(&division.rule, 1), par, "regra de divisão em classes") ||
            !ParameterRead(par.ReadInts(&division.classes, 1), par, "Nº de classes"))
            return kDaziParameterError;
        if (division.rule < 1 || division.rule > 3)
            return refuse(" A regra de divisão em classes da coluna " + colIds_[static_cast<Index>(c)] + " (" +
                          std::to_string(division.rule) + ") tem de ser 1, 2 ou 3");
        if (division.classes < 1 || division.classes > kMaxClasses)
            return refuse(" O Nº de classes da coluna " + colIds_[static_cast<Index>(c)] + " (" +
                          std::to_string(division.classes) + ") tem de estar entre 1 e " + std::to_string(kMaxClasses));
        if (division.rule == 3) {
            if (cannotHold(division.classes + 1LL, "os " + std::to_string(division.classes + 1LL) +
                                                       " limites das classes da coluna " + colIds_[static_cast<Index>(c)]))
                return kDaziParameterError;
            division.limits.assign(static_cast<Index>(division.classes) + 1, 0.0);
            for (double& limit : division.limits)
                if (!ParameterRead(par.ReadReals(&limit, 1), par, "limites das classes"))
                    return kDaziParameterError;
        }
    }
    int pair[2] = {0, 0};
    int triple[3] = {0, 0, 0};
    if (!ParameterRead(par.ReadInts(&recodedFlag_, 1), par, "ficheiro recodificado") ||
        !ParameterRead(par.ReadInts(pair, 2), par, "Nº total de modalidades e máximo por coluna"))
        return kDaziParameterError;
    j_ = pair[0];
    maxModalities_ = pair[1];
    if (!ParameterRead(par.ReadInts(pair, 2), par, "matriz disjuntiva completa"))
        return kDaziParameterError;
    disjunctiveFlag_ = pair[0];
    modCounts_.assign(static_cast<Index>(m_), 0);
    long long total = 0;
    for (int& count : modCounts_) {
        if (!ParameterRead(par.ReadInts(&count, 1), par, "Nº de modalidades das colunas"))
            return kDaziParameterError;
        total += count;
    }
    for (int c = 0; c < m_; ++c)
        if (modCounts_[static_cast<Index>(c)] < 1)
            return refuse(" A coluna " + colIds_[static_cast<Index>(c)] + " não tem modalidades");
    if (total != j_)
        return refuse(" O Nº total de modalidades (" + std::to_string(j_) +
                      ") difere da soma das modalidades das colunas (" + std::to_string(total) + ")");
    if (cannotHold(2LL * j_, "os códigos e os identificadores das " + std::to_string(j_) + " modalidades"))
        return kDaziParameterError;
    codes_.assign(static_cast<Index>(j_), 0);
    for (int& code : codes_)
        if (!ParameterRead(par.ReadInts(&code, 1), par, "códigos das modalidades"))
            return kDaziParameterError;
    modIds_.assign(static_cast<Index>(j_), std::string());
    for (std::string& id : modIds_) {
        if (!ParameterRead(par.ReadLine(id), par, "identificadores das modalidades"))
            return kDaziParameterError;
        id = ResultName(id);
    }
    if (!ParameterRead(par.ReadInts(triple, 3), par, "matriz de Burt"))
        return kDaziParameterError;
    burtFlag_ = triple[0];
    int analysis[5] = {0, 0, 0, 0, 0};
    if (!ParameterRead(par.ReadInts(analysis, 5), par, "Nº de linhas, modalidades activas e factores"))
        return kDaziParameterError;
    rowsTotal_ = analysis[0];
    a_ = analysis[1];
    j2_ = analysis[2];
    a2_ = analysis[3];
    nf_ = analysis[4];
    // Counts in 64 bits: the modalities and the individuals together may pass an int.
    const long long modalitiesAndIndividuals = static_cast<long long>(j_) + n_;
    if (rowsTotal_ != j_ && rowsTotal_ != modalitiesAndIndividuals)
        return refuse(" O Nº de linhas da análise (" + std::to_string(rowsTotal_) + ") tem de ser " +
                      std::to_string(j_) + " ou, com projecção dos indivíduos, " +
                      std::to_string(modalitiesAndIndividuals));
    if (j2_ != j_ || a2_ != a_ || a_ < 0 || a_ > j_)
        return refuse(" Os Nº de modalidades e de modalidades activas da análise (" + std::to_string(j2_) + ", " +
                      std::to_string(a2_) + ") diferem dos lidos antes (" + std::to_string(j_) + ", " +
                      std::to_string(a_) + ")");
    projected_ = rowsTotal_ != j_;
    flagsRead_ = projected_ || a_ != j_;
    modFlags_.assign(static_cast<Index>(j_), 1);
    if (flagsRead_) {
        if (cannotHold((modalitiesAndIndividuals + 79) / 80 + (j_ + 79LL) / 80,
                       "as marcas das " + std::to_string(j_) + " modalidades e dos " + std::to_string(n_) +
                           " indivíduos"))
            return kDaziParameterError;
        // The modalities' marks, then the individuals' (which nothing uses), then the
        // modalities' marks again.
        std::vector<int> stream(static_cast<Index>(modalitiesAndIndividuals));
        std::vector<int> modFlagsAgain(static_cast<Index>(j_), 0);
        if (!ParameterRead(par.ReadDigits(stream.data(), modalitiesAndIndividuals), par,
                           "modalidades activas e indivíduos") ||
            !ParameterRead(par.ReadDigits(modFlagsAgain.data(), j_), par, "modalidades activas"))
            return kDaziParameterError;
        std::copy(stream.begin(), stream.begin() + j_, modFlags_.begin());
        if (modFlagsAgain != modFlags_)
            return refuse(" As duas listas de modalidades activas do ficheiro dazi.par diferem");
    }
    if (!ParameterRead(par.ReadItems({FreeInt(graphs_), FreeInt(pages_), FreeInt(lines_), FreeReal(deviations_)}),
                       par, "gráficos"))
        return kDaziParameterError;
    std::vector<std::string> modIdsAgain(static_cast<Index>(j_));
    for (std::string& id : modIdsAgain)
        if (!ParameterRead(par.ReadLine(id), par, "identificadores das modalidades (repetidos)"))
            return kDaziParameterError;
    if (!ParameterRead(par.ReadInts(pair, 2), par, "ficheiro para gráficos"))
        return kDaziParameterError;
    graphicsFileFlag_ = pair[0];
    // As for kelo: a graph count of NF or more becomes NF - 1.
    graphs_ = PlaneCount(graphs_, nf_);

    firstModality_.assign(static_cast<Index>(m_) + 1, 0);
    for (Index c = 0; c < static_cast<Index>(m_); ++c)
        firstModality_[c + 1] = firstModality_[c] + static_cast<Index>(modCounts_[c]);
    return kDaziOk;
}

bool DaziRun::CheckParameters() {
    std::vector<std::string> problems;
    const int largest = *std::max_element(modCounts_.begin(), modCounts_.end());
    if (largest != maxModalities_)
        problems.push_back(" O máximo de modalidades por coluna (" + std::to_string(maxModalities_) +
                           ") difere do das colunas (" + std::to_string(largest) + ")");
    for (int c = 0; c < q_; ++c) {
        const ClassDivision& division = divisions_[static_cast<Index>(c)];
        const std::string& id = colIds_[static_cast<Index>(c)];
        if (division.classes != modCounts_[static_cast<Index>(c)])
            problems.push_back(" A coluna " + id + " tem " + std::to_string(division.classes) + " classes e " +
                               std::to_string(modCounts_[static_cast<Index>(c)]) + " modalidades");
        if (division.rule == 3 && !std::is_sorted(division.limits.begin(), division.limits.end()))
            problems.push_back(" Os limites das classes da coluna " + id + " não estão por ordem crescente");
    }
    for (int c = q_; c < m_; ++c) {
        std::vector<int> codes(codes_.begin() + static_cast<std::ptrdiff_t>(firstModality_[static_cast<Index>(c)]),
                               codes_.begin() + static_cast<std::ptrdiff_t>(firstModality_[static_cast<Index>(c) + 1]));
        std::sort(codes.begin(), codes.end());
        if (std::adjacent_find(codes.begin(), codes.end()) != codes.end())
            problems.push_back(" A coluna " + colIds_[static_cast<Index>(c)] + " tem códigos de modalidade repetidos");
    }
    const auto active = std::count(modFlags_.begin(), modFlags_.end(), 1);
    if (active != a_)
        problems.push_back(" O Nº de modalidades marcadas activas (" + FormatI(active, 5) +
                           ") difere do Nº de modalidades activas (" + FormatI(a_, 5) + ")");
    if (a_ < 2)
        problems.push_back(" São precisas pelo menos 2 modalidades activas");
    if (nf_ < 1)
        problems.push_back(" O Nº de factores (" + FormatI(nf_, 5) + ") tem de ser pelo menos 1");
    else if (nf_ > a_)
        problems.push_back(" O Nº de factores (" + std::to_string(nf_) +
                           ") não pode passar o Nº de modalidades activas (" + std::to_string(a_) + ")");
    if (problems.empty())
        return true;
    WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS", problems);
    return false;
}

void DaziRun::PrintParameters() {
    // Labels right-aligned so that their "=>" line up, two settings a line.
    auto label = [](std::string text) {
        text += " =>";
        return text.size() < 34 ? Blanks(34 - static_cast<int>(text.size())) + text : text;
    };
    auto pair = [&](const char* label1, const std::string& value1, const char* label2, const std::string& value2) {
        std::string line = label(label1) + value1;
        line.resize(42, ' ');
        prn_.Write(line + label(label2) + value2);
    };
    static const char* const kRules[] = {"", "igual amplitude", "igual frequência", "limites definidos"};
    prn_.WriteBlank();
    prn_.Write(" PARÂMETROS LIDOS");
    prn_.WriteBlank();
    pair("N. de individuos", FormatCount(n_), "Projecção dos individuos", projected_ ? "  sim" : "  nao");
    pair("Colunas quantitativas", FormatCount(q_), "Colunas qualitativas", FormatCount(k_));
    pair("N. total de modalidades", FormatCount(j_), "N. de modalidades activas", FormatCount(a_));
    pair("Max. modalidades por coluna", FormatCount(maxModalities_), "N. de factores seleccionados",
         FormatCount(nf_));
    pair("N. de graficos seleccionados", FormatCount(graphs_), "N. de paginas por grafico",
         FormatCount(pages_));
    pair("N. de linhas por grafico", FormatCount(lines_), "N. de desvios padrao",
         FormatF(deviations_, 4, 1));
    pair("Ficheiro recodificado (1/0)", FormatCount(recodedFlag_), "Matriz disjuntiva (1/0)",
         FormatCount(disjunctiveFlag_));
    pair("Matriz de Burt (1/0)", FormatCount(burtFlag_), "Ficheiro para graficos (1/0)",
         FormatCount(graphicsFileFlag_));
    prn_.WriteBlank();
    prn_.Write(" COLUNAS E MODALIDADES (activa 1, suplementar 0)");
    for (Index c = 0; c < static_cast<Index>(m_); ++c) {
        std::string line = ' ' + colIds_[c] + (c < static_cast<Index>(q_) ? " - quantitativa" : " - qualitativa") +
                           "," + FormatI(modCounts_[c], 4) + " modalidades";
        if (c < static_cast<Index>(q_)) {
            const ClassDivision& division = divisions_[c];
            line += ", regra " + std::to_string(division.rule) + " (" + kRules[division.rule] + ")";
        }
        prn_.Write(line);
        for (Index j = firstModality_[c]; j < firstModality_[c + 1]; ++j)
            prn_.Write("     " + FormatText(modIds_[j], 8) + " código" + FormatI(codes_[j], 7) +
                       FormatI(modFlags_[j], 3));
    }
}

// Gives every cell its modality: quantitative columns by their class division, qualitative
// ones by matching the value to a modality code.
int DaziRun::Recode() {
    const Index n = static_cast<Index>(n_), m = static_cast<Index>(m_);
    const double* x = data_.values.get();
    modality_.assign(n * m, 0);
    recodings_.clear();
    std::vector<double> column(n);
    for (Index c = 0; c < static_cast<Index>(q_); ++c) {
        for (Index i = 0; i < n; ++i)
            column[i] = x[i * m + c];
        recodings_.push_back(RecodeColumn(column, divisions_[c]));
        const ColumnRecoding& recoding = recodings_.back();
        for (Index k = 0; k < recoding.lower.size(); ++k)
            if (!std::isfinite(recoding.lower[k]) || !std::isfinite(recoding.upper[k])) {
                WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS",
                           {" Os limites das classes da coluna " + colIds_[c] + " não são números finitos"});
                return kDaziRefused;
            }
        for (Index i = 0; i < n; ++i)
            modality_[i * m + c] = static_cast<int>(firstModality_[c]) + recoding.classOf[i];
    }
    // The classes stand whatever the qualitative columns hold.
    WriteRecodingListing();
    for (Index c = static_cast<Index>(q_); c < m; ++c) {
        for (Index i = 0; i < n; ++i) {
            const double value = x[i * m + c];
            int found = -1;
            for (Index j = firstModality_[c]; j < firstModality_[c + 1] && found < 0; ++j)
                if (value == static_cast<double>(codes_[j]))
                    found = static_cast<int>(j);
            if (found < 0) {
                char text[64];
                std::snprintf(text, sizeof text, "%.6f", value);
                WriteAlert(prn_, "ATENÇÃO - VALOR SEM MODALIDADE",
                           {" O valor " + std::string(text) + " da linha " + std::to_string(i + 1) + " (" +
                                data_.names[i] + "), coluna " + colIds_[c] + ",",
                            " não corresponde ao código de nenhuma modalidade dessa coluna"});
                return kDaziRefused;
            }
            modality_[i * m + c] = found;
        }
    }
    return kDaziOk;
}

void DaziRun::WriteRecodingListing() {
    recodingWritten_ = true;
    if (!recod_.IsOpen())
        return;
    static const char* const kRules[] = {"", "igual amplitude", "igual frequência", "limites definidos"};
    if (q_ == 0) {
        recod_.WriteBlank();
        recod_.Write(" Não há variáveis quantitativas a recodificar");
        return;
    }
    for (Index c = 0; c < static_cast<Index>(q_); ++c) {
        const ClassDivision& division = divisions_[c];
        const ColumnRecoding& recoding = recodings_[c];
        recod_.WriteBlank(2);
        recod_.Write(" Variável " + colIds_[c] + " - regra " + std::to_string(division.rule) + " (" +
                     kRules[division.rule] + ")," + FormatI(division.classes, 4) + " classes," +
                     FormatI(n_, 7) + " valores");
        recod_.WriteBlank();
        recod_.Write("   Classe Modalidade  Código     Limite inferior    Limite superior   Nº de valores");
        for (Index k = 0; k < recoding.counts.size(); ++k) {
            const Index j = firstModality_[c] + k;
            std::string line = ' ' + FormatI(static_cast<long long>(k + 1), 8) + ' ' + FormatText(modIds_[j], 10) +
                               FormatI(codes_[j], 8) + "   " + (k == 0 ? "[" : "]");
            AppendFixed(line, recoding.lower[k], 17, 6);
            line += " ";
            AppendFixed(line, recoding.upper[k], 17, 6);
            line += " ]" + FormatI(recoding.counts[k], 16);
            recod_.Write(line);
        }
        if (division.rule == 3) {
            recod_.Write(" Valores abaixo do primeiro limite (postos na primeira classe):" + FormatI(recoding.below, 8));
            recod_.Write(" Valores acima do último limite (postos na última classe):     " + FormatI(recoding.above, 8));
        }
    }
}

bool DaziRun::Compute() {
    const Index n = static_cast<Index>(n_), m = static_cast<Index>(m_), J = static_cast<Index>(j_);
    const Index nf = static_cast<Index>(nf_);
    // Result order and the position of each active modality in the analysed table.
    order_.clear();
    std::vector<long> activeAt(J, -1);
    for (Index j = 0; j < J; ++j)
        if (modFlags_[j] == 1) {
            activeAt[j] = static_cast<long>(order_.size());
            order_.push_back(j);
        }
    for (Index j = 0; j < J; ++j)
        if (modFlags_[j] != 1)
            order_.push_back(j);
    const Index p = static_cast<Index>(a_);

    // Row sums over the active modalities and modality counts over all rows.
    std::vector<double> r(n, 0.0), rawR(n, 0.0), count(J, 0.0);
    for (Index i = 0; i < n; ++i) {
        double sum = 0.0;
        for (Index c = 0; c < m; ++c) {
            const Index j = static_cast<Index>(modality_[i * m + c]);
            count[j] += 1.0;
            if (activeAt[j] >= 0)
                sum += 1.0;
        }
        rawR[i] = sum;
        r[i] = sum < kSumFloor ? kSumFloor : sum;
    }
    double total = 0.0, rawTotal = 0.0;
    for (Index i = 0; i < n; ++i)
        total += r[i];
    for (Index j = 0; j < J; ++j)
        if (activeAt[j] >= 0)
            rawTotal += count[j];

    // S(j, k) = sum over rows of x(i, j) x(i, k) / (r(i) sqrt(c(j) c(k))), less the trivial
    // axis sqrt(f) sqrt(f)'.
    std::vector<double> s(p * p, 0.0);
    std::vector<Index> present;
    for (Index i = 0; i < n; ++i) {
        present.clear();
        for (Index c = 0; c < m; ++c) {
            const long a = activeAt[static_cast<Index>(modality_[i * m + c])];
            if (a >= 0)
                present.push_back(static_cast<Index>(a));
        }
        const double w = 1.0 / r[i];
        for (Index u : present)
            for (Index v : present)
                s[u * p + v] += w;
    }
    std::vector<double> root(p, 0.0);  // sqrt(c) of the active modalities
    for (Index a = 0; a < p; ++a)
        root[a] = std::sqrt(count[order_[a]]);
    double inertia = 0.0;
    for (Index a = 0; a < p; ++a)
        for (Index b = 0; b < p; ++b) {
            double value = root[a] > 0.0 && root[b] > 0.0 ? s[a * p + b] / (root[a] * root[b]) : 0.0;
            if (rawTotal > 0.0)
                value -= root[a] * root[b] / rawTotal;
            s[a * p + b] = value;
            if (a == b)
                inertia += value;
        }
    if (!std::isfinite(inertia)) {
        WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO", {" O cálculo da inércia deu um valor não numérico"});
        return false;
    }
    SymmetricEigenResult eigen;
    if (!SolveEigenForListing(prn_, a_, s, eigen))
        return false;
    factors_ = MakeFactorTable(eigen.values, inertia, nf_, kZero);
    eigenvalues_ = MakeFactorTable(eigen.values, inertia, a_ - 1, kZero).values;
    Index computed = 0;
    while (computed < std::min(nf, p) && factors_.values[computed] > 0.0)
        ++computed;

    // Masses; w(a, f) = v(a, f) / sqrt(mass) for the active modalities that occur.
    std::vector<double> mass(J, 0.0);
    for (Index j = 0; j < J; ++j)
        mass[j] = count[j] / total;
    std::vector<double> w(p * computed, 0.0);
    for (Index f = 0; f < computed; ++f)
        for (Index a = 0; a < p; ++a)
            if (count[order_[a]] > 0.0)
                w[a * computed + f] = eigen.vectors[f * p + a] / std::sqrt(mass[order_[a]]);
    double activeMass = 0.0;
    for (Index a = 0; a < p; ++a)
        activeMass += mass[order_[a]];

    // Rows: coordinates from their profiles over the active modalities; squared distance
    // sum over active modalities of (x / r - f)^2 / f.
    rowMass_.assign(n, 0.0);
    rowD2_.assign(n, 0.0);
    rowCoord_.assign(n * nf, 0.0);
    for (Index i = 0; i < n; ++i) {
        rowMass_[i] = r[i] / total;
        double inverseMass = 0.0;
        for (Index c = 0; c < m; ++c) {
            const Index j = static_cast<Index>(modality_[i * m + c]);
            const long a = activeAt[j];
            if (a < 0)
                continue;
            inverseMass += 1.0 / mass[j];
            for (Index f = 0; f < computed; ++f)
                rowCoord_[i + f * n] += w[static_cast<Index>(a) * computed + f] / r[i];
        }
        rowD2_[i] = std::max(0.0, inverseMass / (r[i] * r[i]) - 2.0 * rawR[i] / r[i] + activeMass);
    }

    // Modalities: mass, squared distance sum over rows of (x / c - m)^2 / m, coordinates.
    std::vector<double> inverseRowMass(J, 0.0);
    std::vector<double> rowSums(J * computed, 0.0);
    for (Index i = 0; i < n; ++i)
        for (Index c = 0; c < m; ++c) {
            const Index j = static_cast<Index>(modality_[i * m + c]);
            inverseRowMass[j] += 1.0 / rowMass_[i];
            for (Index f = 0; f < computed; ++f)
                rowSums[j * computed + f] += rowCoord_[i + f * n];
        }
    modMass_.assign(J, 0.0);
    modD2_.assign(J, 0.0);
    modCoord_.assign(J * nf, 0.0);
    for (Index k = 0; k < J; ++k) {
        const Index j = order_[k];
        if (count[j] == 0.0)
            continue;  // a modality that no individual takes: zeros
        modMass_[k] = mass[j];
        modD2_[k] = std::max(0.0, inverseRowMass[j] / (count[j] * count[j]) - 1.0);
        for (Index f = 0; f < computed; ++f) {
            const double lambda = factors_.values[f];
            modCoord_[k + f * J] = k < p ? std::sqrt(lambda) * w[k * computed + f]
                                         : rowSums[j * computed + f] / (count[j] * std::sqrt(lambda));
        }
    }
    for (const std::vector<double>* values : {&modCoord_, &modD2_, &rowCoord_, &rowD2_})
        for (double value : *values)
            if (!std::isfinite(value)) {
                WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO", {" As coordenadas deram valores não numéricos"});
                return false;
            }
    return true;
}

bool DaziRun::WriteResults() {
    RecordWriter tmp;
    if (!CreateResultFile(tmp, prn_, "dazi.tmp", folder_))
        return false;
    std::string line;
    AppendResultNumber(line, factors_.total);
    tmp.Write(line);
    for (Index f = 0; f < factors_.values.size(); ++f)
        tmp.Write(EigenvalueLine(factors_.values[f], factors_.percent[f], factors_.cumulative[f]));
    auto point = [&](const std::string& name, double mass, double d2, const std::vector<double>& coords, Index k,
                     Index count) {
        line = name;
        line += ' ';
        AppendResultNumber(line, mass);
        line += ' ';
        AppendResultNumber(line, d2);
        for (Index f = 0; f < static_cast<Index>(nf_); ++f) {
            line += ' ';
            AppendResultNumber(line, coords[k + f * count]);
        }
        tmp.Write(line);
    };
    const Index J = static_cast<Index>(j_), n = static_cast<Index>(n_);
    for (Index k = 0; k < J; ++k)
        point(modIds_[order_[k]], modMass_[k], modD2_[k], modCoord_, k, J);
    if (projected_)
        for (Index i = 0; i < n; ++i)
            point(data_.names[i], rowMass_[i], rowD2_[i], rowCoord_, i, n);
    return CloseResultFile(tmp, prn_, "dazi.tmp");
}

void DaziRun::PrintCoordinates() {
    const Index J = static_cast<Index>(j_), n = static_cast<Index>(n_);
    int width = 4;
    for (const std::string& id : modIds_)
        width = std::max(width, static_cast<int>(id.size()));
    if (projected_)
        for (const std::string& name : data_.names)
            width = std::max(width, static_cast<int>(name.size()));
    PointTable table(prn_, factors_, width, true);
    table.Heading();
    table.Section("Modalidades activas");
    for (Index k = 0; k < J; ++k) {
        if (k == static_cast<Index>(a_))
            table.Section("Modalidades suplementares");
        table.Point(modIds_[order_[k]], modMass_[k], modMass_[k], modD2_[k], &modCoord_[k], J);
    }
    if (!projected_)
        return;
    table.Section("Individuos");
    for (Index i = 0; i < n; ++i)
        table.Point(data_.names[i], rowMass_[i], rowMass_[i], rowD2_[i], &rowCoord_[i], n);
}

// The modalities' names in result order.
std::vector<std::string> DaziRun::OrderedModalities() const {
    std::vector<std::string> names;
    names.reserve(order_.size());
    for (Index j : order_) names.push_back(modIds_[j]);
    return names;
}

// vpc: the eigenvalues of the analysed matrix but its trivial axis; lic: the individuals
// when they are projected (none otherwise); coc: the modalities (in result order).
bool DaziRun::WriteCoordinateFiles(const std::vector<std::string>& modalities) {
    static const std::vector<std::string> kNoNames;
    static const std::vector<double> kNoCoordinates;
    const CoordinatePoints rows =
        projected_ ? CoordinatePoints{&data_.names, &rowCoord_} : CoordinatePoints{&kNoNames, &kNoCoordinates};
    return ::WriteCoordinateFiles(prn_, title_, folder_, eigenvalues_, rows, {&modalities, &modCoord_}, nf_);
}

// Planes of factors g and g + 1: the modalities, then the individuals when projected.
void DaziRun::DrawPlanes(const std::vector<std::string>& modalities) {
    std::vector<CoordinatePoints> sets{{&modalities, &modCoord_}};
    if (projected_) sets.push_back({&data_.names, &rowCoord_});
    PrintPlanes(prn_, sets, graphs_, {pages_, lines_, deviations_});
}

namespace {

void AppendCount(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace

// The tables asked for in dazi.par, in the working folder and in the layout of the data
// file (a name a line, then a line of values per name): the recoded table (the modality
// code of every individual in every column), the complete disjunctive table (individuals x
// modalities, 0 or 1) and the Burt table (modalities x modalities, the disjunctive table's
// Z'Z). Each file written is named in the listing; one that cannot be created is noted, one
// whose writing fails is removed, noted, and fails the run (as for the coordinate files).
bool DaziRun::WriteTables() {
    const Index n = static_cast<Index>(n_), m = static_cast<Index>(m_), J = static_cast<Index>(j_);
    bool good = true;
    std::vector<std::string> written;
    auto write = [&](const char* name, const char* title, const std::vector<std::string>& names, auto fillRow) {
        RecordWriter out;
        if (!CreateResultFile(out, prn_, name, folder_))
            return;
        for (const std::string& rowName : names)
            out.Write(rowName);
        std::string line;
        for (Index r = 0; r < names.size(); ++r) {
            line.clear();
            fillRow(r, line);
            out.Write(line);
        }
        if (!CloseResultFile(out, prn_, name)) {
            good = false;
            return;
        }
        written.push_back(std::string(title) + name);
    };
    if (recodedFlag_ != 0)
        write("recod.dat", " Tabela recodificada:        ", data_.names, [&](Index i, std::string& line) {
            for (Index c = 0; c < m; ++c) {
                if (c > 0)
                    line += ' ';
                AppendCount(line, codes_[static_cast<Index>(modality_[i * m + c])]);
            }
        });
    if (disjunctiveFlag_ != 0) {
        std::string zeros;  // "0 0 ... 0": the character of modality j stands at 2 j
        for (Index j = 0; j < J; ++j)
            zeros += j == 0 ? "0" : " 0";
        write("disjunt.dat", " Tabela disjuntiva completa: ", data_.names, [&](Index i, std::string& line) {
            line = zeros;
            for (Index c = 0; c < m; ++c)
                line[2 * static_cast<Index>(modality_[i * m + c])] = '1';
        });
    }
    if (burtFlag_ != 0) {
        std::vector<long long> burt(J * J, 0);
        for (Index i = 0; i < n; ++i) {
            const int* row = &modality_[i * m];
            for (Index c = 0; c < m; ++c) {
                long long* target = &burt[static_cast<Index>(row[c]) * J];
                for (Index d = 0; d < m; ++d)
                    ++target[static_cast<Index>(row[d])];
            }
        }
        write("burt.dat", " Tabela de Burt:             ", modIds_, [&](Index a, std::string& line) {
            for (Index b = 0; b < J; ++b) {
                if (b > 0)
                    line += ' ';
                AppendCount(line, burt[a * J + b]);
            }
        });
    }
    if (!written.empty()) {
        prn_.WriteBlank();
        prn_.Write(" FICHEIROS ESCRITOS NA PASTA DE TRABALHO");
        for (const std::string& line : written)
            prn_.Write(line);
    }
    return good;
}

}  // namespace

int DaziMain(const std::string& folder) {
    DaziRun run(folder);
    return run.Execute();
}
