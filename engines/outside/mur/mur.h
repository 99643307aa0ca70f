// mur: principal components analysis of the table in the working folder.
//
//   int status = MurMain("/path/to/dados");   // reads mur.par and the data file named there,
//                                             // writes mur.prn and mur.tmp
//
// Every problem is reported in the listing mur.prn; a refused run leaves no mur.tmp.
#pragma once

#include <string>

enum MurStatus {
    kMurOk = 0,
    kMurNoListing = 1,       // mur.prn could not be created
    kMurParameterError = 2,  // mur.par missing, short or unreadable
    kMurDataError = 3,       // the data file could not be opened, ended early or is unreadable
    kMurRefused = 4,         // counts, flags or values that the analysis cannot take
    kMurNumericError = 5,    // the computation gave values that are not numbers
    kMurNoMemory = 6,        // the work areas could not be reserved
    kMurOutputError = 7,     // mur.tmp could not be written
};

int MurMain(const std::string& folder);
