#include "engines/common/coordinate_files.h"

#include <cstddef>

#include "engines/common/file_names.h"

namespace {

class FileWriter {
public:
    FileWriter(RecordWriter& listing, const std::string& title, const std::string& folder)
        : listing_(listing), title_(title), folder_(folder) {}

    // Starts the file of the extension; false (noted) when it cannot be. The files lie in a
    // folder the user chose, so what stands at their names is replaced, never written through.
    bool Create(RecordWriter& out, const char* extension) {
        const std::string name = MakeFileNameWithExtension(title_, extension);
        if (out.CreateReplacing(name, folder_))
            return true;
        listing_.Write(" ATENÇÃO - não foi possível criar o ficheiro " + TrimTrailingBlanks(name));
        return false;
    }
    // Puts the file in place; when anything could not be written the name keeps what it held,
    // and the failure is noted.
    void Close(RecordWriter& out) {
        if (out.Close())
            return;
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
            AppendFixed(record, eigenvalues[k], 10, 6);
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
                AppendFixed(record, (*points.coordinates)[k + a * count], 7, 3);
            }
            out.Write(record);
        }
        files.Close(out);
    };
    coordinates("lic", rows);
    coordinates("coc", columns);
    return !files.Failed();
}
