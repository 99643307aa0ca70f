#include "engines/outside/dazi/dazi.h"

// Started with no arguments in the working folder.
int main() { return DaziMain("."); }
