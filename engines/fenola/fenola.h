// fenola: hierarchical ascending classification of the samples (Q mode) or of the variables
// (R mode) read from fenola.par and the data file in a working folder.
#pragma once

#include <string>

// Runs a classification in folder (empty: the current folder): writes fenola.prn and the
// hierarchy file sepop.inp. Returns 0 on success, 1 when the run stopped with a message.
int FenolaMain(const std::string& folder);
