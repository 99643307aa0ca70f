// pilo: separation of a Q-mode classification hierarchy into groups at a cut level.
#pragma once

#include <string>

// Runs a separation in folder (empty: the current folder) from fenola.par, sepop.inp, the data
// file and pilo.par: writes pilo.prn and the group file. Returns 0 on success, 1 when the run
// stopped with a message.
int PiloMain(const std::string& folder);
