#include "engines/common/analysis_listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr int kShownFactors = 6;

// A figure of the listing: a real beyond the largest double is still a number too wide for
// its field.
void AppendFigure(std::string& out, double value, int width, int decimals) {
    if (std::isinf(value))
        value = std::copysign(std::numeric_limits<double>::max(), value);
    AppendFixed(out, value, width, decimals);
}

}  // namespace

std::string FormatCount(long long value) {
    const std::string text = std::to_string(value);
    return text.size() < 4 ? Blanks(4 - static_cast<int>(text.size())) + text : text;
}

void WriteBanner(RecordWriter& out, const std::string& heading, const std::string& title,
                 long long numeric, long long literal, std::string_view lead) {
    std::string first = "   " + heading;
    if (first.size() < 51)
        first.resize(51, ' ');
    else
        first += ' ';
    out.Write(first + "Versão 7.00");
    const std::string rule = std::string(lead) + Repeat(" .", 65);
    out.Write(rule);
    out.Write(' ' + PadText(title, 128));
    out.Write(rule);
    out.Write(" UTILIZAÇÃO DE MEMÓRIA");
    out.Write(std::string(lead) + "       . numérica" + FormatI(numeric, 8));
    out.Write(std::string(lead) + "       .  literal" + FormatI(literal, 8));
}

void WriteAlert(RecordWriter& out, const std::string& heading, const std::vector<std::string>& lines) {
    out.WriteBlank(2);
    out.Write(Repeat(" *", 35));
    out.WriteBlank();
    out.Write(Blanks(25) + heading);
    out.WriteBlank();
    for (const std::string& line : lines)
        out.Write(line);
    out.WriteBlank();
    out.Write(Repeat(" *", 35));
}

bool CheckParameterRead(RecordWriter& out, const std::string& parameterFile, ReadStatus status,
                        const RecordReader& in, const char* what) {
    if (status == ReadStatus::Ok)
        return true;
    WriteAlert(out, "ATENÇÃO - ERRO NO FICHEIRO " + parameterFile,
               {std::string(" Leitura de: ") + what, " Linha" + FormatI(in.LineNumber(), 5) + ": " + in.ErrorText()});
    return false;
}

bool ParameterFile::Read(ReadStatus status, const RecordReader& par, RecordWriter& out, const char* what) const {
    return CheckParameterRead(out, parName_, status, par, what);
}

bool ParameterFile::ReadHead(RecordReader& par, RecordWriter& out, const std::string& folder) {
    if (!par.Open(parName_, folder)) {
        WriteAlert(out, "ATENÇÃO - ERRO NO FICHEIRO " + parName_, {" O ficheiro não existe ou não pode ser lido"});
        return false;
    }
    int counts[5] = {0, 0, 0, 0, 0};
    if (!Read(par.ReadInts(counts, 5), par, out, "Nº de linhas, colunas e factores")) return false;
    nl_ = counts[0];
    nla_ = counts[1];
    nc_ = counts[2];
    nca_ = counts[3];
    nf_ = counts[4];
    flagsRead_ = nl_ != nla_ || nc_ != nca_;
    return Read(par.ReadLine(dataPath_), par, out, "ficheiro de dados") &&
           Read(par.ReadLine(title_), par, out, "título");
}

void ParameterFile::WriteInvalidCounts(RecordWriter& out) const {
    WriteAlert(out, "ATENÇÃO - PARÂMETROS INVÁLIDOS",
               {" Nº de Linhas" + FormatI(nl_, 8) + "   Nº de Linhas activas" + FormatI(nla_, 8),
                " Nº de Colunas" + FormatI(nc_, 7) + "   Nº de Colunas activas" + FormatI(nca_, 7)});
}

bool ParameterFile::CheckNamesFit(const RecordReader& par, RecordWriter& out) const {
    // A line per 80 flags.
    const long long flagLines = flagsRead_ ? (nl_ + 79LL) / 80 + (nc_ + 79LL) / 80 : 0;
    if (par.LinesLeft() >= flagLines + nc_) return true;
    WriteAlert(out, "ATENÇÃO - ERRO NO FICHEIRO " + parName_,
               {" O ficheiro não pode conter os nomes" + std::string(flagsRead_ ? " e as marcas" : "") + " das" +
                FormatI(nc_, 11) + " colunas"});
    return false;
}

bool ParameterFile::ReadRest(RecordReader& par, RecordWriter& out, int nameWidth, std::vector<std::string>& names) {
    // Flags are reserved here only when the file holds them (AllActive does it otherwise).
    if (flagsRead_) {
        rowFlags_.assign(static_cast<std::size_t>(nl_), 1);
        colFlags_.assign(static_cast<std::size_t>(nc_), 1);
        const std::string rows = std::string("linhas activas e ") + notActive_;
        const std::string columns = std::string("colunas activas e ") + notActive_;
        if (!Read(par.ReadDigits(rowFlags_.data(), nl_), par, out, rows.c_str()) ||
            !Read(par.ReadDigits(colFlags_.data(), nc_), par, out, columns.c_str()))
            return false;
    }
    if (!Read(par.ReadItems({FreeInt(graphs_), FreeInt(pages_), FreeInt(lines_), FreeReal(deviations_)}), par, out,
              "gráficos"))
        return false;
    names.assign(static_cast<std::size_t>(nc_), std::string());
    for (std::string& name : names)
        if (!Read(nameWidth > 0 ? par.ReadText(name, nameWidth) : par.ReadLine(name), par, out, "nomes das colunas"))
            return false;
    int options[2] = {0, 0};
    if (!Read(par.ReadInts(options, 2), par, out, "opções")) return false;
    createFiles_ = options[0];
    printData_ = options[1];
    return true;
}

void ParameterFile::AllActive() {
    if (flagsRead_) return;
    rowFlags_.assign(static_cast<std::size_t>(nl_), 1);
    colFlags_.assign(static_cast<std::size_t>(nc_), 1);
}

void ParameterFile::PrintParameters(RecordWriter& out, std::string (*count)(long long)) const {
    auto pair = [&](const char* label1, const std::string& value1, const char* label2, const std::string& value2) {
        std::string line = std::string(" ") + label1 + value1;
        line.resize(44, ' ');
        out.Write(line + label2 + value2);
    };
    auto flagLines = [&](const std::string& label, const std::vector<int>& flags) {
        out.Write(" " + label);
        for (std::size_t k = 0; k < flags.size(); k += 100) {
            std::string line = " ";
            for (std::size_t m = k; m < std::min(flags.size(), k + 100); ++m)
                line += static_cast<char>('0' + flags[m]);
            out.Write(line);
        }
    };
    out.WriteBlank();
    out.Write(" PARÂMETROS LIDOS");
    out.WriteBlank();
    pair("          N. total de linhas =>", count(nl_), "        N. de linhas activas =>", count(nla_));
    pair("         N. total de colunas =>", count(nc_), "       N. de colunas activas =>", count(nca_));
    if (flagsRead_) {
        flagLines(std::string(" Linhas activas (1) ou ") + notActive_ + " (0)", rowFlags_);
        flagLines(std::string("Colunas activas (1) ou ") + notActive_ + " (0)", colFlags_);
    }
    pair("N. de factores seleccionados =>", count(nf_), "N. de graficos seleccionados =>", count(graphs_));
    pair("   N. de paginas por grafico =>", count(pages_), "    N. de linhas por grafico =>", count(lines_));
    out.Write(std::string(" ") + "        N. de desvios padrao =>" + FormatF(deviations_, 4, 1));
    pair("Cria ficheiro (1) ou nao (0) =>", FormatI(createFiles_, 2), "Imprime dados (1) ou nao (0) =>",
         FormatI(printData_, 2));
    out.Write(std::string(" ") + "          Formato de leitura => " + "Sem formato");
}

bool CreateResultFile(RecordWriter& tmp, RecordWriter& prn, const std::string& name, const std::string& folder) {
    if (tmp.Create(name, folder))
        return true;
    WriteAlert(prn, "ATENÇÃO - FICHEIRO DE RESULTADOS", {" Não foi possível criar o ficheiro " + name});
    return false;
}

bool CloseResultFile(RecordWriter& tmp, RecordWriter& prn, const std::string& name) {
    if (tmp.Close())
        return true;
    std::remove(tmp.SystemPath().c_str());
    WriteAlert(prn, "ATENÇÃO - FICHEIRO DE RESULTADOS", {" Erro na escrita do ficheiro " + name});
    return false;
}

FactorTable MakeFactorTable(const std::vector<double>& values, double total, int nf, double zeroBelow) {
    FactorTable table;
    table.total = total > zeroBelow ? total : 0.0;
    table.nullTotal = table.total == 0.0;
    double cumulative = 0.0;
    for (int a = 0; a < nf; ++a) {
        const std::size_t k = static_cast<std::size_t>(a);
        double lambda = k < values.size() ? values[k] : 0.0;
        if (!(lambda > zeroBelow))
            lambda = 0.0;
        const double percent = table.total > 0.0 ? lambda * 100.0 / table.total : 0.0;
        cumulative += percent;
        table.values.push_back(lambda);
        table.percent.push_back(percent);
        table.cumulative.push_back(cumulative);
    }
    return table;
}

void WriteFactorListing(RecordWriter& out, const FactorTable& table, TotalField totalField) {
    std::string head = "\fEDICAO DOS VALORES PROPRIOS (SOMA =";
    if (totalField == TotalField::Fixed9) {
        AppendFixed(head, table.total, 9, 6);
    } else {
        char total[64];
        const auto written = std::to_chars(total, total + sizeof total, table.total, std::chars_format::fixed, 6);
        head += ' ';
        head.append(total, written.ptr);
    }
    out.Write(head + " )");
    out.WriteBlank();
    out.Write(Blanks(7) + "VAL.PROP  % EXP  % ACU HISTOGRAMA DOS VALORES");
    out.WriteBlank();
    std::vector<int> zeroFactors;
    for (std::size_t k = 0; k < table.values.size(); ++k) {
        std::string line = ' ' + FormatI(static_cast<long long>(k + 1), 3) + " ";
        AppendFixed(line, table.values[k], 10, 5);
        AppendFixed(line, table.percent[k], 7, 2);
        AppendFixed(line, table.cumulative[k], 7, 2);
        const int bar = std::clamp(static_cast<int>(table.percent[k] + 0.5), 1, 100);
        out.Write(line + ' ' + std::string(static_cast<std::size_t>(bar), '.'));
        if (table.values[k] <= table.nullLevel)
            zeroFactors.push_back(static_cast<int>(k + 1));
    }
    if (table.nullTotal || !zeroFactors.empty())
        out.WriteBlank();
    if (table.nullTotal)
        out.Write(" ATENÇÃO - inércia total nula: as percentagens foram postas a 0");
    for (int a : zeroFactors)
        out.Write(" ATENÇÃO - valor próprio nulo no factor" + FormatI(a, 3) +
                  ": percentagem, coordenadas e contribuições postas a 0");
}

PointTable::PointTable(RecordWriter& out, const FactorTable& factors, int nameWidth, bool showMass)
    : out_(out), factors_(factors), nameWidth_(std::max(nameWidth, 4)), showMass_(showMass) {}

void PointTable::Heading() {
    const int pad = nameWidth_ - 4 + (showMass_ ? 0 : -7);
    out_.Write('\f' + Blanks(9) + "EDICAO DAS COORDENADAS E DAS CONTRIBUICOES");
    out_.Write(' ' + std::string(132, '-'));
    out_.WriteBlank(3);
    std::string names = showMass_ ? " NOMES" + Blanks(nameWidth_ - 4) + " MASSAS"
                                  : " NOMES" + Blanks(nameWidth_ - 4);
    out_.Write(names + " DIST/O*" + Blanks(12) + "COORDENADAS" + Blanks(13) + " *" + Blanks(4) +
               "CONTRIBUICOES ABSOLUTAS" + Blanks(3) + " *" + Blanks(3) + "CONTRIBUICOES RELATIVAS" +
               Blanks(4) + " *");
    const std::string stars = ' ' + std::string(static_cast<std::size_t>(122 + pad), '*');
    out_.Write(stars);
    std::string labels = ' ' + Blanks(18 + pad) + " *";
    for (int a = 1; a <= kShownFactors; ++a)
        labels += "   F" + std::to_string(a) + " ";
    labels += " *";
    for (int group = 0; group < 2; ++group) {
        for (int a = 1; a <= kShownFactors; ++a)
            labels += "  F" + std::to_string(a) + " ";
        labels += " *";
    }
    out_.Write(labels);
    out_.Write(stars);
}

void PointTable::Section(const std::string& title) { out_.Write(' ' + Blanks(10) + title); }

void PointTable::Point(const std::string& name, double mass, double weight, double d2,
                       const double* coordinates, std::size_t stride, double scale) {
    const std::size_t shown = std::min<std::size_t>(factors_.values.size(), kShownFactors);
    line_.assign(1, ' ');
    line_ += name;
    if (static_cast<int>(name.size()) < nameWidth_)
        line_.append(static_cast<std::size_t>(nameWidth_) - name.size(), ' ');
    if (showMass_)
        AppendFixed(line_, mass, 7, 3);
    line_ += ' ';
    AppendFigure(line_, d2 * scale * scale, 6, 2);
    line_ += " *";
    absolute_.assign(" *");
    relative_.assign(" *");
    for (std::size_t a = 0; a < kShownFactors; ++a) {
        double coordinate = 0.0, contribution = 0.0, quality = 0.0;
        if (a < shown) {
            coordinate = coordinates[a * stride];
            const double lambda = factors_.values[a];
            const double square = coordinate * coordinate;
            contribution = lambda > factors_.nullLevel && weight != 0.0 ? 100.0 * weight * square / lambda : 0.0;
            const double scaled = coordinate / scale;
            quality = d2 > 0.0 ? scaled * scaled / d2 : 0.0;
        }
        AppendFigure(line_, coordinate, 6, 2);
        AppendFigure(absolute_, contribution, 5, 1);
        AppendFixed(relative_, quality, 5, 2);
    }
    line_ += absolute_;
    line_ += relative_;
    line_ += " *";
    out_.Write(line_);
}
