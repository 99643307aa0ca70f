// dazi: multiple correspondence analysis of the table in the working folder.
//
//   int status = DaziMain("/path/to/dados");   // reads dazi.par and the data file named there,
//                                              // writes recod.prn, dazi.prn and dazi.tmp
//
// Every problem is reported in the listing dazi.prn; a refused run leaves no dazi.tmp.
#pragma once

#include <string>

enum DaziStatus {
    kDaziOk = 0,
    kDaziNoListing = 1,       // dazi.prn could not be created
    kDaziParameterError = 2,  // dazi.par missing, short or unreadable
    kDaziDataError = 3,       // the data file could not be opened, ended early or is unreadable
    kDaziRefused = 4,         // counts, flags, divisions or values that the analysis cannot take
    kDaziNumericError = 5,    // the computation gave values that are not numbers
    kDaziNoMemory = 6,        // the work areas could not be reserved
    kDaziOutputError = 7,     // dazi.tmp could not be written
};

int DaziMain(const std::string& folder);
