#include "engines/pilo/pilo.h"

int main() { return PiloMain(std::string()); }
