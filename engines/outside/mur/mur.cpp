#include "engines/outside/mur/mur.h"

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
#include "engines/outside/shared/listing.h"
#include "engines/outside/shared/symmetric_eigen.h"

namespace {

using Index = std::size_t;

// An eigenvalue of the correlation matrix at or below this share of its trace counts as 0.
constexpr double kZeroShare = 1e-12;

class MurRun : private ParameterFile {
public:
    explicit MurRun(std::string folder) : ParameterFile("mur.par", "suplementares"), folder_(std::move(folder)) {}
    int Execute();

private:
    int Run();
    bool CheckCounts();
    void Order();
    void PrintData();
    void Standardise();
    bool StandardisedFinite();
    bool Compute();
    bool WriteResults();
    void PrintCoordinates();
    bool WriteCoordinateFiles();
    void DrawPlanes();

    std::string folder_;
    RecordWriter prn_;

    std::vector<std::string> colNames_;
    DataMatrix data_;  // nl x nc; standardised in place by Standardise

    // Rows and columns in result order: active ones, then supplementary ones, each in file
    // order, and their names in that order.
    std::vector<Index> rows_, cols_;
    std::vector<std::string> rowNames_, orderedColNames_;
    std::vector<bool> constant_;  // the column takes one value over the active rows

    FactorTable factors_;
    std::vector<double> eigenvalues_;  // every eigenvalue of the correlation matrix, nulls as 0
    int computed_ = 0;               // factors with a non-zero eigenvalue among the first nf
    std::vector<double> vectors_;    // nca x nca, eigenvector of factor a in column a
    std::vector<double> colCoord_;   // nc x nf, in result order, column-major
    std::vector<double> rowCoord_;   // nl x nf, in result order, column-major
    std::vector<double> rowD2_, colD2_;
    std::vector<double> rowScale_;  // a row's squared distance is rowD2_ times its square
};

int MurRun::Execute() {
    const bool listing = prn_.Create("mur.prn", folder_);
    if (!listing) {
        std::remove(SystemFileName("mur.tmp", folder_).c_str());
        return kMurNoListing;
    }
    return RunKeepingNoStaleResults(prn_, SystemFileName("mur.tmp", folder_),
                                    " Verifique o Nº de Linhas e o Nº de Colunas", kMurOk, kMurNoMemory, kMurOutputError,
                                    [this] { return Run(); }, [this] { return prn_.Close(); });
}

int MurRun::Run() {
    RecordReader par;
    if (!ReadHead(par, prn_, folder_)) return kMurParameterError;
    const bool countsValid = CountsValid();
    long long numeric = 0, literal = 0;
    if (countsValid) {
        const long double nl = nl_, nc = nc_, p = nca_, nf = std::clamp(nf_, 0, nca_);
        numeric = ClampedCount(nl * nc + 3 * p * p + 3 * nc + (nl + nc) * (nf + 1));
        literal = ClampedCount(4 * (nl + nc) + 2 * 128);
    }
    WriteBanner(prn_, "ANÁLISE EM COMPONENTES PRINCIPAIS", title_, numeric, literal);
    if (!countsValid) {
        WriteInvalidCounts(prn_);
        return kMurRefused;
    }
    // The data file is judged by ReadDataMatrix.
    if (!CheckNamesFit(par, prn_) || !ReadRest(par, prn_, 0, colNames_)) return kMurParameterError;
    for (std::string& name : colNames_) name = ResultName(name);
    par.Close();

    const DataReadStatus read = ReadDataMatrix(SystemFileName(dataPath_, folder_), nl_, nc_, data_, prn_);
    if (read == DataReadStatus::CannotOpen)
        WriteAlert(prn_, "ATENÇÃO - FICHEIRO DE DADOS", {" Não foi possível abrir o ficheiro de dados:", ' ' + dataPath_});
    if (read != DataReadStatus::Ok)
        return kMurDataError;
    for (std::string& name : data_.names)
        name = ResultName(name);
    AllActive();

    graphs_ = PlaneCount(graphs_, nf_);
    PrintParameters(prn_, FormatCount);
    if (!CheckCounts())
        return kMurRefused;
    Order();
    if (printData_ != 0)
        PrintData();
    Standardise();
    for (Index k = 0; k < static_cast<Index>(nca_); ++k)
        if (constant_[cols_[k]]) {
            WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS",
                       {" A coluna activa " + colNames_[cols_[k]] +
                        " tem variância nula nas linhas activas: retire-a ou torne-a suplementar"});
            return kMurRefused;
        }
    if (!StandardisedFinite())
        return kMurNumericError;
    if (!Compute())
        return kMurNumericError;
    if (!WriteResults())
        return kMurOutputError;
    WriteFactorListing(prn_, factors_, TotalField::Free);
    PrintCoordinates();
    const bool filesWritten = createFiles_ == 0 || WriteCoordinateFiles();
    DrawPlanes();
    prn_.Write("\f");
    return prn_.Good() && filesWritten ? kMurOk : kMurOutputError;
}

bool MurRun::CheckCounts() {
    std::vector<std::string> problems;
    const auto activeRows = std::count(rowFlags_.begin(), rowFlags_.end(), 1);
    const auto activeCols = std::count(colFlags_.begin(), colFlags_.end(), 1);
    if (activeRows != nla_)
        problems.push_back(" O Nº de linhas marcadas activas (" + FormatI(activeRows, 5) +
                           ") difere do Nº de linhas activas (" + FormatI(nla_, 5) + ")");
    if (activeCols != nca_)
        problems.push_back(" O Nº de colunas marcadas activas (" + FormatI(activeCols, 5) +
                           ") difere do Nº de colunas activas (" + FormatI(nca_, 5) + ")");
    if (nla_ < 2 || nca_ < 2)
        problems.push_back(" São precisas pelo menos 2 linhas activas e 2 colunas activas");
    if (nf_ < 1)
        problems.push_back(" O Nº de factores (" + FormatI(nf_, 5) + ") tem de ser pelo menos 1");
    else if (nf_ > nca_)
        problems.push_back(" O Nº de factores (" + std::to_string(nf_) + ") não pode passar o Nº de colunas activas (" +
                           std::to_string(nca_) + ")");
    if (problems.empty())
        return true;
    WriteAlert(prn_, "ATENÇÃO - PARÂMETROS INVÁLIDOS", problems);
    return false;
}

// Result order of the rows and columns and their names in it.
void MurRun::Order() {
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<Index>& order = pass == 0 ? rows_ : cols_;
        const std::vector<int>& flags = pass == 0 ? rowFlags_ : colFlags_;
        order.clear();
        for (Index k = 0; k < flags.size(); ++k)
            if (flags[k] == 1)
                order.push_back(k);
        for (Index k = 0; k < flags.size(); ++k)
            if (flags[k] != 1)
                order.push_back(k);
    }
    rowNames_.clear();
    for (Index r : rows_)
        rowNames_.push_back(data_.names[r]);
    orderedColNames_.clear();
    for (Index k : cols_)
        orderedColNames_.push_back(colNames_[k]);
}

// The table as read, before standardisation, active rows and columns first.
void MurRun::PrintData() {
    const Index nl = static_cast<Index>(nl_), nc = static_cast<Index>(nc_);
    const double* x = data_.values.get();
    std::vector<double> table(nl * nc);
    for (Index k = 0; k < nc; ++k)
        for (Index r = 0; r < nl; ++r)
            table[r + k * nl] = x[rows_[r] * nc + cols_[k]];
    std::string heading = "\f";  // built in steps: GCC 12 warns wrongly on a chain of + here
    heading += Blanks(10);
    heading += "QUADRO DOS DADOS BRUTOS (EVENTUALMENTE REORDENADOS)";
    prn_.Write(heading);
    PrintMatrixBlocks(prn_, printData_, nl_, nc_, table.data(), nl_, rowNames_, orderedColNames_);
}

namespace {

// Multiplication by 2^-e as two factors, each a normal double for any exponent of a double,
// so that the product is exact.
struct PowerOfTwo {
    double first = 1.0, second = 1.0;
    explicit PowerOfTwo(int e = 0) : first(std::ldexp(1.0, -(e / 2))), second(std::ldexp(1.0, -(e - e / 2))) {}
    double Apply(double x) const { return x * first * second; }
};

// The binary exponent e of a positive value (value = f 2^e with f in [0.5, 1)).
int ExponentOf(double value) {
    int e = 0;
    std::frexp(value, &e);
    return e;
}

}  // namespace

// Centres and scales every column by its mean and standard deviation over the active rows
// (divisor n); a column constant over the active rows becomes 0. The sums are taken on the
// values scaled by powers of two taken from the column's own magnitude and spread, so that
// the squares of a wide spread (beyond 1e154) do not overflow nor those of tiny values (near
// 1e-300) vanish. Scaling by a power of two is exact, so the results are those of the plain
// sums wherever these neither overflow nor underflow.
void MurRun::Standardise() {
    const Index nl = static_cast<Index>(nl_), nc = static_cast<Index>(nc_);
    const Index na = static_cast<Index>(nla_);
    double* x = data_.values.get();
    constant_.assign(nc, true);
    std::vector<double> low(nc), high(nc);
    for (Index j = 0; j < nc; ++j)
        low[j] = high[j] = x[rows_[0] * nc + j];
    for (Index r = 1; r < na; ++r) {
        const double* row = x + rows_[r] * nc;
        for (Index j = 0; j < nc; ++j) {
            low[j] = std::min(low[j], row[j]);
            high[j] = std::max(high[j], row[j]);
        }
    }
    std::vector<PowerOfTwo> down(nc);  // brings the column's largest magnitude into [0.5, 1)
    for (Index j = 0; j < nc; ++j) {
        constant_[j] = low[j] == high[j];
        const double largest = std::max(std::fabs(low[j]), std::fabs(high[j]));
        if (largest > 0.0)
            down[j] = PowerOfTwo(ExponentOf(largest));
    }
    std::vector<double> sum(nc, 0.0), mean(nc);
    for (Index r = 0; r < na; ++r) {
        const double* row = x + rows_[r] * nc;
        for (Index j = 0; j < nc; ++j)
            sum[j] += down[j].Apply(row[j]);
    }
    std::vector<double> spread(nc, 1.0);  // 2^-k: brings the largest deviation into [0.5, 1)
    for (Index j = 0; j < nc; ++j) {
        mean[j] = sum[j] / static_cast<double>(na);
        const double deviation = std::max(down[j].Apply(high[j]) - mean[j], mean[j] - down[j].Apply(low[j]));
        if (!constant_[j] && deviation > 0.0)
            spread[j] = std::ldexp(1.0, -ExponentOf(deviation));
    }
    std::vector<double> squares(nc, 0.0);
    for (Index r = 0; r < na; ++r) {
        const double* row = x + rows_[r] * nc;
        for (Index j = 0; j < nc; ++j) {
            const double d = (down[j].Apply(row[j]) - mean[j]) * spread[j];
            squares[j] += d * d;
        }
    }
    std::vector<double> scale(nc, 0.0);
    for (Index j = 0; j < nc; ++j)
        scale[j] = constant_[j] ? 0.0 : 1.0 / std::sqrt(squares[j] / static_cast<double>(na));
    for (Index i = 0; i < nl; ++i) {
        double* row = x + i * nc;
        for (Index j = 0; j < nc; ++j)
            row[j] = (down[j].Apply(row[j]) - mean[j]) * spread[j] * scale[j];
    }
}

// A supplementary row may lie so far out that its standardised value (its distance from the
// active rows' mean in standard deviations) passes the largest double: it cannot be placed.
bool MurRun::StandardisedFinite() {
    const Index nc = static_cast<Index>(nc_);
    const double* x = data_.values.get();
    for (Index r = 0; r < static_cast<Index>(nl_); ++r)
        for (Index k = 0; k < static_cast<Index>(nca_); ++k)
            if (!std::isfinite(x[rows_[r] * nc + cols_[k]])) {
                WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO",
                           {" O valor da linha " + rowNames_[r] + " na coluna " + orderedColNames_[k] +
                            " é grande demais para o cálculo"});
                return false;
            }
    return true;
}

bool MurRun::Compute() {
    const Index nc = static_cast<Index>(nc_), nl = static_cast<Index>(nl_);
    const Index p = static_cast<Index>(nca_), na = static_cast<Index>(nla_);
    const Index nf = static_cast<Index>(nf_);
    const double* x = data_.values.get();

    // Correlation matrix of the active columns over the active rows: the upper triangle of
    // Z'Z accumulated row by row, then divided by n.
    // Rows go four at a time, so that each element of the triangle is loaded and stored once
    // per four rows.
    std::vector<double> cross(p * p, 0.0), z(p), block(4 * p, 0.0);
    const bool allColumnsActive = p == nc;
    for (Index r = 0; r < na; r += 4) {
        const Index count = std::min<Index>(4, na - r);
        const double* b[4];
        for (Index t = 0; t < 4; ++t) {
            double* copy = &block[t * p];
            if (t < count) {
                const double* row = x + rows_[r + t] * nc;
                for (Index k = 0; k < p; ++k)
                    copy[k] = allColumnsActive ? row[k] : row[cols_[k]];
            } else {
                std::fill(copy, copy + p, 0.0);
            }
            b[t] = copy;
        }
        for (Index j = 0; j < p; ++j) {
            const double z0 = b[0][j], z1 = b[1][j], z2 = b[2][j], z3 = b[3][j];
            double* target = &cross[j * p];
            for (Index k = j; k < p; ++k)
                target[k] += z0 * b[0][k] + z1 * b[1][k] + z2 * b[2][k] + z3 * b[3][k];
        }
    }
    std::vector<double> correlation(p * p);
    for (Index j = 0; j < p; ++j)
        for (Index k = j; k < p; ++k) {
            const double value = cross[j * p + k] / static_cast<double>(na);
            correlation[j * p + k] = value;
            correlation[k * p + j] = value;
        }
    for (double value : correlation)
        if (!std::isfinite(value)) {
            WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO", {" Os valores dos dados são grandes demais para o cálculo"});
            return false;
        }

    SymmetricEigenResult eigen;
    if (!SolveEigenForListing(prn_, nca_, correlation, eigen))
        return false;
    // The trace of a correlation matrix is the number of its columns.
    factors_ = MakeFactorTable(eigen.values, static_cast<double>(p), nf_, kZeroShare * static_cast<double>(p));
    eigenvalues_ = MakeFactorTable(eigen.values, static_cast<double>(p), nca_, kZeroShare * static_cast<double>(p)).values;
    vectors_ = eigen.vectors;
    computed_ = 0;
    while (static_cast<Index>(computed_) < std::min(nf, p) && factors_.values[static_cast<Index>(computed_)] > 0.0)
        ++computed_;
    const Index nk = static_cast<Index>(computed_);

    // Row scores F(i, a) = sum over active columns of z(i, j) v(j, a), for every row; squared
    // distances to the centre over the active columns. A supplementary row far out (values
    // beyond 2^400 standard deviations) has its squared distance taken on its values scaled
    // by a power of two, so that it stays finite; ordinary rows are not scaled.
    rowCoord_.assign(nl * nf, 0.0);
    rowD2_.assign(nl, 0.0);
    rowScale_.assign(nl, 1.0);
    std::vector<double> vt(nk * p);  // v transposed: factor a's vector contiguous
    for (Index a = 0; a < nk; ++a)
        for (Index j = 0; j < p; ++j)
            vt[a * p + j] = vectors_[a * p + j];
    std::vector<double> score(nk);
    for (Index r = 0; r < nl; ++r) {
        const double* row = x + rows_[r] * nc;
        if (!allColumnsActive) {
            for (Index k = 0; k < p; ++k)
                z[k] = row[cols_[k]];
            row = z.data();
        }
        double largest = 0.0;
        for (Index j = 0; j < p; ++j)
            largest = std::max(largest, std::fabs(row[j]));
        double scale = 1.0;
        if (largest > 0x1p400 || (largest > 0.0 && largest < 0x1p-400))
            scale = std::ldexp(1.0, ExponentOf(largest));
        double d2 = 0.0;
        for (Index j = 0; j < p; ++j) {
            const double value = row[j] / scale;
            d2 += value * value;
        }
        rowD2_[r] = d2;
        rowScale_[r] = scale;
        for (Index a = 0; a < nk; ++a) {
            const double* v = &vt[a * p];
            double s = 0.0;
            for (Index j = 0; j < p; ++j)
                s += row[j] * v[j];
            rowCoord_[r + a * nl] = s;
        }
    }

    // Active columns: correlations with the components, sqrt(lambda) v(j, a). Supplementary
    // columns: their correlations with the row scores over the active rows.
    colCoord_.assign(nc * nf, 0.0);
    colD2_.assign(nc, 0.0);
    for (Index k = 0; k < nc; ++k) {
        const Index j = cols_[k];
        colD2_[k] = constant_[j] ? 0.0 : 1.0;
        for (Index a = 0; a < nk; ++a) {
            const double lambda = factors_.values[a];
            double value = 0.0;
            if (k < p) {
                value = std::sqrt(lambda) * vectors_[a * p + k];
            } else if (!constant_[j]) {
                for (Index r = 0; r < na; ++r)
                    value += x[rows_[r] * nc + j] * rowCoord_[r + a * nl];
                value /= static_cast<double>(na) * std::sqrt(lambda);
            }
            colCoord_[k + a * nc] = value;
        }
    }
    for (Index r = 0; r < nl; ++r)
        for (Index a = 0; a < nk; ++a)
            if (!std::isfinite(rowCoord_[r + a * nl])) {
                WriteAlert(prn_, "ATENÇÃO - ERRO NUMÉRICO",
                           {" As coordenadas da linha " + rowNames_[r] + " são grandes demais para o cálculo"});
                return false;
            }
    return true;
}

bool MurRun::WriteResults() {
    RecordWriter tmp;
    if (!CreateResultFile(tmp, prn_, "mur.tmp", folder_))
        return false;
    std::string line = std::to_string(nf_);
    tmp.Write(line);
    for (Index a = 0; a < factors_.values.size(); ++a)
        tmp.Write(EigenvalueLine(factors_.values[a], factors_.percent[a], factors_.cumulative[a]));
    auto point = [&](const std::string& name, const std::vector<double>& coords, Index k, Index count) {
        line = name;
        for (Index a = 0; a < static_cast<Index>(nf_); ++a) {
            line += ' ';
            AppendResultNumber(line, coords[k + a * count]);
        }
        tmp.Write(line);
    };
    const Index nc = static_cast<Index>(nc_), nl = static_cast<Index>(nl_);
    for (Index k = 0; k < nc; ++k)
        point(orderedColNames_[k], colCoord_, k, nc);
    for (Index r = 0; r < nl; ++r)
        point(rowNames_[r], rowCoord_, r, nl);
    return CloseResultFile(tmp, prn_, "mur.tmp");
}

// vpc holds every eigenvalue of the correlation matrix; lic the rows, coc the columns.
bool MurRun::WriteCoordinateFiles() {
    return ::WriteCoordinateFiles(prn_, title_, folder_, eigenvalues_, {&rowNames_, &rowCoord_},
                                  {&orderedColNames_, &colCoord_}, nf_);
}

// Planes of factors g and g + 1: the columns, then the rows.
void MurRun::DrawPlanes() {
    PrintPlanes(prn_, {{&orderedColNames_, &colCoord_}, {&rowNames_, &rowCoord_}}, graphs_,
                {pages_, lines_, deviations_});
}

void MurRun::PrintCoordinates() {
    const Index nc = static_cast<Index>(nc_), nl = static_cast<Index>(nl_);
    int width = 4;
    for (const std::string& name : colNames_)
        width = std::max(width, static_cast<int>(name.size()));
    for (const std::string& name : data_.names)
        width = std::max(width, static_cast<int>(name.size()));
    PointTable table(prn_, factors_, width, false);
    table.Heading();
    // An active column weighs 1 in the correlation matrix, an active row 1/n in the scores'
    // variance; supplementary points take no part in the axes.
    table.Section("Colunas activas");
    for (Index k = 0; k < nc; ++k) {
        const bool active = k < static_cast<Index>(nca_);
        if (k == static_cast<Index>(nca_))
            table.Section("Colunas suplementares");
        table.Point(orderedColNames_[k], 1.0, active ? 1.0 : 0.0, colD2_[k], &colCoord_[k], nc);
    }
    const double rowWeight = 1.0 / static_cast<double>(nla_);
    table.Section("Linhas activas");
    for (Index r = 0; r < nl; ++r) {
        const bool active = r < static_cast<Index>(nla_);
        if (r == static_cast<Index>(nla_))
            table.Section("Linhas suplementares");
        table.Point(rowNames_[r], rowWeight, active ? rowWeight : 0.0, rowD2_[r], &rowCoord_[r], nl, rowScale_[r]);
    }
}

}  // namespace

int MurMain(const std::string& folder) {
    MurRun run(folder);
    return run.Execute();
}
