// The resources of Tabulon: string table, menus, accelerators, toolbar and dialog templates.
#pragma once

#include "platform/core/resources.h"

// Registers Tabulon's resources with the platform (once).
void RegisterTabulonResources();
