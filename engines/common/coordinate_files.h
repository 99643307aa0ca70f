// The coordinate files of an analysis, named after its title (the document's path) with the
// extensions "vpc", "lic" and "coc", so that they lie beside the document:
//   vpc: eigenvalues, F10.6, 8 a record;
//   lic: per row point its name (4 columns) and coordinates F7.3, 10 a record, continuation
//        records led by 4 blanks;
//   coc: the same for the column points.
// kelo, mur and dazi write the same names, so each run replaces the files of the last one.
#pragma once

#include <string>
#include <vector>

#include "engines/common/factor_points.h"
#include "engines/common/record_io.h"

// Writes the three files, each replacing what stands at its name (RecordWriter::
// CreateReplacing): a link there is replaced, a fifo or any other name that is not a regular
// file is refused. A file that cannot be created or written is noted in the listing
// (" ATENÇÃO - ..."); a name whose writing failed keeps what it held. False when a write
// failed, true otherwise (a file that could not be created is only noted).
bool WriteCoordinateFiles(RecordWriter& listing, const std::string& title, const std::string& folder,
                          const std::vector<double>& eigenvalues, const CoordinatePoints& rows,
                          const CoordinatePoints& columns, int factors);
