#include "res/resources.h"

void RegisterTabulonResources() {}
