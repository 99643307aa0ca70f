#include "engines/kelo/kelo.h"

// Started with no arguments in the working folder.
int main() { return KeloMain("."); }
