#include "engines/outside/mur/mur.h"

// Started with no arguments in the working folder.
int main() { return MurMain("."); }
