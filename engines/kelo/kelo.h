// kelo: binary correspondence analysis of the table in the working folder.
//
//   int status = KeloMain("/path/to/dados");   // reads kelo.par and the data file named there,
//                                               // writes kelo.prn, kelo.tmp and the result files
//
// Every problem is reported in the listing kelo.prn; the status says how the run ended.
#pragma once

#include <string>

enum KeloStatus {
    kKeloOk = 0,
    kKeloNoListing = 1,       // kelo.prn could not be created
    kKeloParameterError = 2,  // kelo.par missing, short or unreadable
    kKeloDataError = 3,       // the data file could not be opened, ended early or is unreadable
    kKeloRefused = 4,         // counts, flags or values that the analysis cannot take
    kKeloNumericError = 5,    // the eigen-decomposition gave values that are not numbers
    kKeloNoMemory = 6,        // the work areas could not be reserved
    kKeloOutputError = 7,     // kelo.tmp could not be written
};

int KeloMain(const std::string& folder);
