#include "engines/fenola/fenola.h"

int main() { return FenolaMain(std::string()); }
