#include "engines/common/coordinate_files.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "engines/common/file_names.h"

namespace {

// FormatF(value, width, decimals) appended to out, without intermediate strings for the
// usual values: the files of a large table hold hundreds of thousands of them.
void AppendField(std::string& out, double value, int width, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        out += FormatF(value, width, decimals);
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const char* text = buffer;
    std::size_t size = static_cast<std::size_t>(result.ptr - buffer);
    char shortened[64];
    if (size > static_cast<std::size_t>(width)) {
        // Drop a leading zero ("0.5" -> ".5") when that makes the value fit.
        const std::size_t zero = buffer[0] == '-' ? 1 : 0;
        if (size > zero + 1 && buffer[zero] == '0' && buffer[zero + 1] == '.') {
            std::size_t k = 0;
            for (std::size_t i = 0; i < size; ++i)
                if (i != zero)
                    shortened[k++] = buffer[i];
            text = shortened;
            size = k;
        }
    }
    if (size > static_cast<std::size_t>(width)) {
        out.append(static_cast<std::size_t>(width), '*');
        return;
    }
    out.append(static_cast<std::size_t>(width) - size, ' ');
    out.append(text, size);
}

class FileWriter {
public:
    FileWriter(RecordWriter& listing, const std::string& title, const std::string& folder)
        : listing_(listing), title_(title), folder_(folder) {}

    // Creates the file of the extension; false (noted) when it cannot be.
    bool Create(RecordWriter& out, const char* extension) {
        const std::string name = MakeFileNameWithExtension(title_, extension);
        if (out.Create(name, folder_))
            return true;
        listing_.Write(" ATENÇÃO - não foi possível criar o ficheiro " + TrimTrailingBlanks(name));
        return false;
    }
    // Closes the file; when anything could not be written it is removed and noted.
    void Close(RecordWriter& out) {
        if (out.Close())
            return;
        std::remove(out.SystemPath().c_str());
        listing_.Write(" ATENÇÃO - erro na escrita do ficheiro " + out.SystemPath());
        failed_ = true;
    }
    bool Failed() const { return failed_; }

private:
    RecordWriter& listing_;
    const std::string& title_;
    const std::string& folder_;
    bool failed_ = false;
};

}  // namespace

bool WriteCoordinateFiles(RecordWriter& listing, const std::string& title, const std::string& folder,
                          const std::vector<double>& eigenvalues, const CoordinatePoints& rows,
                          const CoordinatePoints& columns, int factors) {
    FileWriter files(listing, title, folder);
    RecordWriter vpc;
    if (files.Create(vpc, "vpc")) {
        std::string record;
        for (std::size_t k = 0; k < eigenvalues.size(); ++k) {
            if (k > 0 && k % 8 == 0) {
                vpc.Write(record);
                record.clear();
            }
            AppendField(record, eigenvalues[k], 10, 6);
        }
        vpc.Write(record);
        files.Close(vpc);
    }
    auto coordinates = [&](const char* extension, const CoordinatePoints& points) {
        RecordWriter out;
        if (!files.Create(out, extension))
            return;
        const std::size_t count = points.names->size();
        std::string record;
        for (std::size_t k = 0; k < count; ++k) {
            record = FormatText((*points.names)[k], 4);
            for (std::size_t a = 0; a < static_cast<std::size_t>(factors); ++a) {
                if (a > 0 && a % 10 == 0) {
                    out.Write(record);
                    record.assign(4, ' ');
                }
                AppendField(record, (*points.coordinates)[k + a * count], 7, 3);
            }
            out.Write(record);
        }
        files.Close(out);
    };
    coordinates("lic", rows);
    coordinates("coc", columns);
    return !files.Failed();
}
