#include "engines/kelo/kelo.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "engines/common/analysis_listing.h"
#include "engines/common/coordinate_files.h"
#include "engines/common/file_names.h"
#include "engines/common/matrix_blocks.h"
#include "engines/common/planes.h"
#include "engines/common/record_io.h"
#include "engines/kelo/kelo_eigen.h"
#include "engines/kelo/kelo_planes.h"

namespace {

constexpr double kRelativeZero = 1e-10;  // an eigenvalue this small beside the total inertia is null
constexpr int kMaxSweeps = 60;

using Index = std::size_t;

// kelo.tmp name field: the name without its trailing padding, inner blanks as '_'.
std::string TmpName(const std::string& name) {
    std::string out = TrimTrailingBlanks(name);
    if (out.empty())
        out = "_";
    std::replace(out.begin(), out.end(), ' ', '_');
    std::replace(out.begin(), out.end(), '\t', '_');
    return out;
}

// A name field with its control characters (a carriage return, say) as '_': they would break
// the records of kelo.tmp and of the listing that the name stands in.
std::string PrintableName(std::string name) {
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '_';
    return name;
}

// kelo.tmp value field: a blank, then 5 decimals in at least 9 columns.
std::string TmpValue(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, " %9.5f", value);
    return buffer;
}

class KeloRun : private ParameterFile {
public:
    explicit KeloRun(std::string folder) : ParameterFile("kelo.par", "ilustrativas"), folder_(std::move(folder)) {}
    int Execute();

private:
    int Run();
    void PrintBanner(bool countsValid);
    // Reads the names and the table; without keep, only counts the rows the file holds.
    int ReadData(RecordReader& data, bool keep = true);
    void Transpose();
    bool CheckCounts();
    void Reorder();
    void PrintData();
    bool Compute();
    void WriteEigenvalues(RecordWriter& tmp, const FactorTable& factors);
    void ComputeCoordinates();
    bool ResultsFinite();
    FactorTable Factors() const;
    void PrintCoordinates(RecordWriter& tmp, const FactorTable& factors);
    bool WriteResultFiles();
    void DrawPlanes();

    double& X(int i, int j) { return x_[static_cast<Index>(i) + static_cast<Index>(j) * static_cast<Index>(nl_)]; }
    double X(int i, int j) const {
        return x_[static_cast<Index>(i) + static_cast<Index>(j) * static_cast<Index>(nl_)];
    }

    std::string folder_;
    RecordWriter prn_;

    // The counts of ParameterFile are those of the file until Transpose, then those of the
    // working table.
    std::vector<std::string> rowNames_, colNames_;
    std::vector<double> x_;  // nl x nc, column-major

    // Results.
    std::vector<double> r_, c_, f_, m_;
    double total_ = 0.0;  // grand total N
    double inertia_ = 0.0;
    bool noInertia_ = false;
    double zeroLevel_ = 0.0;  // eigenvalues at or below this are null
    std::vector<double> lambda_;  // factor a (1-based) is lambda_[a - 1]
    std::vector<double> v_;       // nca x nca, eigenvector of factor a in column a - 1
    std::vector<double> rowCoord_, colCoord_;  // nl x nf and nc x nf, column-major
    std::vector<double> rowD2_, colD2_;
};

int KeloRun::Execute() {
    const bool listing = prn_.Create("kelo.prn", folder_);
    const std::string tmp = SystemFileName("kelo.tmp", folder_);
    if (!listing) {
        std::remove(tmp.c_str());
        return kKeloNoListing;
    }
    return RunKeepingNoStaleResults(prn_, tmp, " Verifique o Nº de Linhas e o Nº de Colunas", kKeloOk, kKeloNoMemory,
                                    kKeloOutputError, [this] { return Run(); }, [this] { return prn_.Close(); });
}

int KeloRun::Run() {
    RecordReader par;
    if (!ReadHead(par, prn_, folder_)) return kKeloParameterError;
    const bool countsValid = CountsValid();
    PrintBanner(countsValid);
    if (!countsValid) {
        WriteInvalidCounts(prn_);
        return kKeloRefused;
    }

    RecordReader data;
    if (!data.Open(dataPath_, folder_)) {
        WriteAlert(prn_, "ATENÇÃO - FICHEIRO DE DADOS",
                   {" Não foi possível abrir o ficheiro de dados:", " " + TrimTrailingBlanks(dataPath_)});
        return kKeloDataError;
    }

    // Counts that the files cannot hold are refused before anything is reserved from them.
    // A data file too short for its counts is read through without keeping the table, to
    // report how many rows it holds.
    if (!CheckNamesFit(par, prn_)) return kKeloParameterError;
    const bool dataFits = data.CanHoldTable(nl_, nc_);
    if (!ReadRest(par, prn_, 4, colNames_)) return kKeloParameterError;
    for (std::string& name : colNames_) name = PrintableName(name);
    par.Close();

    const int dataStatus = ReadData(data, dataFits);
    if (dataStatus != kKeloOk)
        return dataStatus;
    AllActive();
    data.Close();

    if (nla_ < nca_)
        Transpose();
    graphs_ = PlaneCount(graphs_, nf_);
    PrintParameters(prn_, [](long long count) { return FormatI(count, 4); });
    if (!CheckCounts())
        return kKeloRefused;
    if (flagsRead_)
        Reorder();
    if (printData_ != 0)
        PrintData();

    if (!Compute())
        return kKeloNumericError;
    ComputeCoordinates();
    if (!ResultsFinite())
        return kKeloNumericError;
    RecordWriter tmp;
    if (!CreateResultFile(tmp, prn_, "kelo.tmp", folder_))
        return kKeloOutputError;
    const FactorTable factors = Factors();
    WriteEigenvalues(tmp, factors);
    PrintCoordinates(tmp, factors);
    if (!CloseResultFile(tmp, prn_, "kelo.tmp"))
        return kKeloOutputError;
    const bool filesWritten = createFiles_ == 0 || WriteResultFiles();
    DrawPlanes();
    std::vector<double> rowKeys(static_cast<Index>(nl_)), colKeys(static_cast<Index>(nc_));
    for (int i = 0; i < nl_; ++i)
        rowKeys[static_cast<Index>(i)] = rowCoord_[static_cast<Index>(i)];
    for (int j = 0; j < nc_; ++j)
        colKeys[static_cast<Index>(j)] = colCoord_[static_cast<Index>(j)];
    PrintOrderedProfiles(prn_, nl_, nc_, x_, rowNames_, colNames_, rowKeys, colKeys);
    prn_.Write("\f");
    return prn_.Good() && filesWritten ? kKeloOk : kKeloOutputError;
}

void KeloRun::PrintBanner(bool countsValid) {
    long long numeric = 0;
    long long literal = 0;
    if (countsValid) {
        const long double nl = nl_, nc = nc_;
        const long double n = std::min(nla_, nca_);  // order of the matrix diagonalised
        const long double nf = std::clamp<long double>(nf_, 0, n);
        numeric = ClampedCount(nl * nc + 2 * n * n + n + 4 * (nl + nc) + (nl + nc) * nf);
        literal = ClampedCount(4 * (nl + nc) + 2 * 128);
    }
    WriteBanner(prn_, "ANÁLISE DAS CORRESPONDÊNCIAS BINÁRIAS", title_, numeric, literal, "");
}

int KeloRun::ReadData(RecordReader& data, bool keep) {
    auto endOfFile = [&](int rowsRead) {
        WriteAlert(prn_, "ATENÇÃO - FIM DE FICHEIRO",
                   {" Verifique:", "    - Nº de Linhas (apenas foram lidas" + FormatI(rowsRead, 5) + ")",
                    "    - Nº de Colunas", "    - Formato dos Dados"});
        return kKeloDataError;
    };
    auto readError = [&]() {
        WriteAlert(prn_, "ATENÇÃO - ERRO NA LEITURA DOS DADOS",
                   {" Linha" + FormatI(data.LineNumber(), 8) + " do ficheiro de dados: " + data.ErrorText(),
                    " Verifique:", "    - Formato dos Dados"});
        return kKeloDataError;
    };
    rowNames_.clear();
    for (int i = 0; i < nl_; ++i) {
        std::string name;
        const ReadStatus status = data.ReadName(name);
        if (status == ReadStatus::EndOfFile)
            return endOfFile(0);
        if (status == ReadStatus::Error)
            return readError();
        rowNames_.push_back(PrintableName(name));
    }
    if (keep)
        x_.assign(static_cast<Index>(nl_) * static_cast<Index>(nc_), 0.0);
    std::vector<double> row(static_cast<Index>(nc_));
    for (int i = 0; i < nl_; ++i) {
        const ReadStatus status = data.ReadReals(row.data(), nc_);
        if (status == ReadStatus::EndOfFile)
            return endOfFile(i);
        if (status == ReadStatus::Error)
            return readError();
        if (keep)
            for (int j = 0; j < nc_; ++j)
                X(i, j) = row[static_cast<Index>(j)];
    }
    if (!keep) {
        // The file held the table after all: read it again, keeping it.
        const std::string path = data.SystemPath();
        if (!data.OpenSystemPath(path))
            return readError();
        return ReadData(data, true);
    }
    return kKeloOk;
}

void KeloRun::Transpose() {
    std::vector<double> t(x_.size());
    for (int i = 0; i < nl_; ++i)
        for (int j = 0; j < nc_; ++j)
            t[static_cast<Index>(j) + static_cast<Index>(i) * static_cast<Index>(nc_)] = X(i, j);
    x_.swap(t);
    std::swap(nl_, nc_);
    std::swap(nla_, nca_);
    std::swap(rowFlags_, colFlags_);
    std::swap(rowNames_, colNames_);
}

bool KeloRun::CheckCounts() {
    std::vector<std::string> problems;
    const auto activeRows = std::count(rowFlags_.begin(), rowFlags_.end(), 1);
    const auto activeCols = std::count(colFlags_.begin(), colFlags_.end(), 1);
    if (activeRows != nla_)
        problems.push_back(" O Nº de linhas marcadas activas (" + FormatI(activeRows, 5) +
                           ") difere do Nº de linhas activas (" + FormatI(nla_, 5) + ")");
    if (activeCols != nca_)
        problems.push_back(" O Nº de colunas marcadas activas (" + FormatI(activeCols, 5) +
                           ") difere do Nº de colunas activas (" + FormatI(nca_, 5) + ")");
    if (nca_ < 2)
        problems.push_back(" São precisas pelo menos 2 linhas activas e 2 colunas activas");
    else if (nf_ < 1 || nf_ > nca_ - 1)
        problems.push_back(" O Nº de factores (" + FormatI(nf_, 5) + ") tem de estar entre 1 e" +
                           FormatI(nca_ - 1, 5));
    for (Index k = 0; k < x_.size() && problems.empty(); ++k)
        if (x_[k] < 0.0) {
            const int i = static_cast<int>(k % static_cast<Index>(nl_));
            const int j = static_cast<int>(k / static_cast<Index>(nl_));
            problems.push_back(" Os dados não podem ter valores negativos: linha " +
                               TrimTrailingBlanks(rowNames_[static_cast<Index>(i)]) + ", coluna " +
                               TrimTrailingBlanks(colNames_[static_cast<Index>(j)]));
        }
    // The analysis needs something in the active table: with no presence there, no mass
    // and no profile are defined, whatever the unit of the data.
    bool presence = false;
    for (int j = 0; j < nc_ && !presence; ++j)
        for (int i = 0; i < nl_ && !presence && colFlags_[static_cast<Index>(j)] == 1; ++i)
            presence = rowFlags_[static_cast<Index>(i)] == 1 && X(i, j) > 0.0;
    if (problems.empty() && !presence)
        problems.push_back(" A tabela activa não tem nenhum valor positivo");
    if (problems.empty())
        return true;
    WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS", problems);
    return false;
}

void KeloRun::Reorder() {
    // Active rows and columns first, each group keeping its order.
    auto order = [](const std::vector<int>& flags) {
        std::vector<int> out;
        for (Index k = 0; k < flags.size(); ++k)
            if (flags[k] == 1)
                out.push_back(static_cast<int>(k));
        for (Index k = 0; k < flags.size(); ++k)
            if (flags[k] != 1)
                out.push_back(static_cast<int>(k));
        return out;
    };
    const std::vector<int> rows = order(rowFlags_);
    const std::vector<int> cols = order(colFlags_);
    std::vector<double> t(x_.size());
    for (int j = 0; j < nc_; ++j)
        for (int i = 0; i < nl_; ++i)
            t[static_cast<Index>(i) + static_cast<Index>(j) * static_cast<Index>(nl_)] =
                X(rows[static_cast<Index>(i)], cols[static_cast<Index>(j)]);
    x_.swap(t);
    std::vector<std::string> names(rowNames_.size());
    for (Index i = 0; i < names.size(); ++i)
        names[i] = rowNames_[static_cast<Index>(rows[i])];
    rowNames_.swap(names);
    names.assign(colNames_.size(), std::string());
    for (Index j = 0; j < names.size(); ++j)
        names[j] = colNames_[static_cast<Index>(cols[j])];
    colNames_.swap(names);
    std::sort(rowFlags_.begin(), rowFlags_.end(), [](int a, int b) { return (a == 1) > (b == 1); });
    std::sort(colFlags_.begin(), colFlags_.end(), [](int a, int b) { return (a == 1) > (b == 1); });
}

void KeloRun::PrintData() {
    prn_.Write("\f" + Blanks(10) + "QUADRO DOS DADOS BRUTOS" + " (EVENTUALMENTE REORDENADOS)");
    PrintMatrixBlocks(prn_, printData_, nl_, nc_, x_.data(), nl_, rowNames_, colNames_);
}

bool KeloRun::Compute() {
    auto tooLarge = [&]() {
        WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO", {" Os valores dos dados são grandes demais para o cálculo"});
        return false;
    };
    const Index n = static_cast<Index>(nca_);
    r_.assign(static_cast<Index>(nl_), 0.0);
    for (int i = 0; i < nl_; ++i) {
        double sum = 0.0;
        for (int j = 0; j < nca_; ++j)
            sum += X(i, j);
        if (!std::isfinite(sum))
            return tooLarge();
        r_[static_cast<Index>(i)] = sum;
    }
    // Sums are used as they are: a row or column with no presence keeps the sum 0, a zero
    // profile and zero coordinates, and nothing depends on the unit of the data.
    c_.assign(static_cast<Index>(nc_), 0.0);
    double columnTotal = 0.0;
    for (int j = 0; j < nc_; ++j) {
        double sum = 0.0;
        for (int i = 0; i < nla_; ++i)
            sum += X(i, j);
        if (!std::isfinite(sum))
            return tooLarge();
        if (j < nca_)
            columnTotal += sum;
        c_[static_cast<Index>(j)] = sum;
    }
    total_ = 0.0;
    for (int i = 0; i < nla_; ++i)
        total_ += r_[static_cast<Index>(i)];
    if (!std::isfinite(total_) || !std::isfinite(columnTotal))
        return tooLarge();

    // S(j, k) = sum over active rows of X(i, j) X(i, k) / (r(i) sqrt(c(j)) sqrt(c(k))), built
    // from the non-zero cells of each row. Each term is at most X(i, k), so no partial sum
    // passes c(k); the square roots are taken apart so that large counts never overflow.
    std::vector<double> s(n * n, 0.0);
    std::vector<int> nonZero;
    for (int i = 0; i < nla_; ++i) {
        nonZero.clear();
        for (int j = 0; j < nca_; ++j)
            if (X(i, j) != 0.0)
                nonZero.push_back(j);
        const double ri = r_[static_cast<Index>(i)];
        for (Index a = 0; a < nonZero.size(); ++a) {
            const int j = nonZero[a];
            const double w = X(i, j) / ri;
            double* column = &s[static_cast<Index>(j) * n];
            for (Index b = a; b < nonZero.size(); ++b)
                column[static_cast<Index>(nonZero[b])] += w * X(i, nonZero[b]);
        }
    }
    std::vector<double> rootC(n);
    for (Index j = 0; j < n; ++j)
        rootC[j] = std::sqrt(c_[j]);
    // A column with no presence has no cell in the sums: its row and column of S are 0.
    double traceS = 0.0;
    for (Index j = 0; j < n; ++j) {
        for (Index k = j; k < n; ++k) {
            const double value = rootC[j] > 0.0 && rootC[k] > 0.0 ? s[j * n + k] / rootC[j] / rootC[k] : 0.0;
            s[j * n + k] = value;
            s[k * n + j] = value;
        }
        traceS += s[j * n + j];
    }

    // Remove the trivial axis: sqrt(f) is the eigenvector of S for the eigenvalue 1.
    double sumOfSquares = 0.0;
    for (double value : s)
        sumOfSquares += value * value;
    std::vector<double> u(n, 0.0);
    for (Index j = 0; j < n; ++j)
        u[j] = std::sqrt(c_[j] / columnTotal);
    inertia_ = 0.0;
    for (Index j = 0; j < n; ++j) {
        for (Index k = 0; k < n; ++k)
            s[j * n + k] -= u[j] * u[k];
        inertia_ += s[j * n + j];
    }
    if (!std::isfinite(inertia_) || !std::isfinite(sumOfSquares) || !std::isfinite(traceS))
        return tooLarge();
    if (inertia_ < 0.0)
        inertia_ = 0.0;
    // Null is judged against the size of the problem: the total inertia is null beside the
    // trace of S (rounding of the trivial axis), an eigenvalue beside the total inertia.
    noInertia_ = inertia_ <= kRelativeZero * traceS;
    zeroLevel_ = kRelativeZero * (noInertia_ ? traceS : inertia_);

    const EigenOutcome outcome =
        DiagonaliseSymmetric(nca_, s, lambda_, v_, sumOfSquares, kMaxSweeps, zeroLevel_);
    if (!outcome.finite) {
        WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO",
                   {" O cálculo dos valores próprios deu valores não numéricos"});
        return false;
    }
    if (!outcome.converged)
        prn_.Write(" ATENÇÃO - o cálculo dos valores próprios parou ao fim de" + FormatI(kMaxSweeps, 4) +
                   " varrimentos sem convergir");

    f_.assign(static_cast<Index>(nc_), 0.0);
    m_.assign(static_cast<Index>(nl_), 0.0);
    for (int j = 0; j < nc_; ++j)
        f_[static_cast<Index>(j)] = c_[static_cast<Index>(j)] / total_;
    for (int i = 0; i < nl_; ++i)
        m_[static_cast<Index>(i)] = r_[static_cast<Index>(i)] / total_;
    return true;
}

// The eigenvalues of factors 1 to NF with their percentages of the total inertia: null when
// the inertia is (beside the trace of S) or the eigenvalue is (beside the inertia).
FactorTable KeloRun::Factors() const {
    FactorTable table;
    table.total = inertia_;
    table.nullTotal = noInertia_;
    table.nullLevel = zeroLevel_;
    double cumulative = 0.0;
    for (int a = 1; a <= nf_; ++a) {
        const double lambda = lambda_[static_cast<Index>(a - 1)];
        const double percent = noInertia_ || lambda <= zeroLevel_ ? 0.0 : lambda * 100.0 / inertia_;
        cumulative += percent;
        table.values.push_back(lambda);
        table.percent.push_back(percent);
        table.cumulative.push_back(cumulative);
    }
    return table;
}

void KeloRun::WriteEigenvalues(RecordWriter& tmp, const FactorTable& factors) {
    WriteFactorListing(prn_, factors, TotalField::Fixed9);
    tmp.Write(FreeRecord({inertia_}));
    for (Index k = 0; k < factors.values.size(); ++k)
        tmp.Write(FreeRecord({factors.values[k], factors.percent[k], factors.cumulative[k]}));
}

void KeloRun::ComputeCoordinates() {
    const Index n = static_cast<Index>(nca_);
    const Index nf = static_cast<Index>(nf_);
    const Index nl = static_cast<Index>(nl_);
    const Index nc = static_cast<Index>(nc_);
    // w(j, a) = v(j, a) / sqrt(f(j)) for the active columns. The chi-square metric weighs
    // the columns of positive mass only: a column with no presence takes no part in it.
    std::vector<double> w(n * nf, 0.0);
    for (Index a = 0; a < nf; ++a)
        for (Index j = 0; j < n; ++j)
            if (f_[j] > 0.0)
                w[j + a * n] = v_[j + a * n] / std::sqrt(f_[j]);

    // A point with no presence has the profile 0: coordinates 0, squared distance 1.
    rowCoord_.assign(nl * nf, 0.0);
    rowD2_.assign(nl, 0.0);
    for (Index i = 0; i < nl; ++i) {
        const double ri = r_[i];
        double d2 = 0.0;
        for (Index j = 0; j < n; ++j) {
            if (!(f_[j] > 0.0))
                continue;
            const double profile = ri > 0.0 ? X(static_cast<int>(i), static_cast<int>(j)) / ri : 0.0;
            const double diff = profile - f_[j];
            d2 += diff * diff / f_[j];
            if (profile != 0.0)
                for (Index a = 0; a < nf; ++a)
                    rowCoord_[i + a * nl] += profile * w[j + a * n];
        }
        rowD2_[i] = d2;
    }

    colCoord_.assign(nc * nf, 0.0);
    colD2_.assign(nc, 0.0);
    for (Index j = 0; j < nc; ++j) {
        const double cj = c_[j];
        double d2 = 0.0;
        for (Index i = 0; i < static_cast<Index>(nla_); ++i) {
            if (!(m_[i] > 0.0))
                continue;
            const double diff = (cj > 0.0 ? X(static_cast<int>(i), static_cast<int>(j)) / cj : 0.0) - m_[i];
            d2 += diff * diff / m_[i];
        }
        colD2_[j] = d2;
        for (Index a = 0; a < nf; ++a) {
            const double lambda = lambda_[a];
            if (lambda <= zeroLevel_ || !(cj > 0.0))
                continue;
            double coordinate = 0.0;
            if (j < n) {
                coordinate = std::sqrt(lambda) * w[j + a * n];
            } else {
                for (Index i = 0; i < static_cast<Index>(nla_); ++i)
                    coordinate += X(static_cast<int>(i), static_cast<int>(j)) / (f_[j] * total_) *
                                  rowCoord_[i + a * nl];
                coordinate /= std::sqrt(lambda);
            }
            colCoord_[j + a * nc] = coordinate;
        }
    }
}

// Every value that kelo.tmp and the listing receive must be a number: data mixing values
// near the smallest and the largest doubles can give infinite distances or coordinates,
// and values beyond a thousandth of the largest double infinite profiles (value x 1000 / sum).
bool KeloRun::ResultsFinite() {
    bool finite = std::isfinite(inertia_);
    for (int a = 0; a < nf_ && finite; ++a) {
        const double lambda = lambda_[static_cast<Index>(a)];
        finite = std::isfinite(lambda) && (noInertia_ || std::isfinite(lambda * 100.0 / inertia_));
    }
    for (const std::vector<double>* values : {&f_, &m_, &rowD2_, &colD2_, &rowCoord_, &colCoord_})
        for (Index k = 0; k < values->size() && finite; ++k)
            finite = std::isfinite((*values)[k]);
    for (Index k = 0; k < x_.size() && finite; ++k)
        finite = std::isfinite(x_[k] * 1000.0);
    if (finite)
        return true;
    WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO",
               {" As massas, distâncias, coordenadas ou perfis deram valores não numéricos:",
                " os valores dos dados são extremos demais para o cálculo"});
    return false;
}

// The listing's table of coordinates and contributions; each point also goes to kelo.tmp
// (name, mass, squared distance, NF coordinates). A point's weight in its contributions is
// its mass, for supplementary points too.
void KeloRun::PrintCoordinates(RecordWriter& tmp, const FactorTable& factors) {
    PointTable table(prn_, factors, 4, true);
    table.Heading();
    auto point = [&](const std::string& name, double mass, double d2, const double* coordinates, Index stride) {
        table.Point(name, mass, mass, d2, coordinates, stride);
        std::string record = TmpName(name) + TmpValue(mass) + TmpValue(d2);
        for (int a = 0; a < nf_; ++a)
            record += TmpValue(coordinates[static_cast<Index>(a) * stride]);
        tmp.Write(record);
    };
    const Index nl = static_cast<Index>(nl_);
    const Index nc = static_cast<Index>(nc_);
    table.Section("Pontos-coluna activos");
    for (Index j = 0; j < nc; ++j) {
        if (j == static_cast<Index>(nca_))
            table.Section("Pontos suplementares");
        point(colNames_[j], f_[j], colD2_[j], &colCoord_[j], nc);
    }
    table.Section("Pontos-linha activos");
    for (Index i = 0; i < nl; ++i) {
        if (i == static_cast<Index>(nla_))
            table.Section("Pontos suplementares");
        point(rowNames_[i], m_[i], rowD2_[i], &rowCoord_[i], nl);
    }
}

bool KeloRun::WriteResultFiles() {
    // vpc: the eigenvalues of factors 1 to NCA - 1 (the trivial axis is not a factor).
    const std::vector<double> values(lambda_.begin(), lambda_.begin() + std::max(nca_ - 1, 0));
    return WriteCoordinateFiles(prn_, title_, folder_, values, {&rowNames_, &rowCoord_}, {&colNames_, &colCoord_},
                                nf_);
}

void KeloRun::DrawPlanes() {
    PrintPlanes(prn_, {{&colNames_, &colCoord_}, {&rowNames_, &rowCoord_}}, graphs_, {pages_, lines_, deviations_});
}

}  // namespace

int KeloMain(const std::string& folder) {
    KeloRun run(folder);
    return run.Execute();
}
