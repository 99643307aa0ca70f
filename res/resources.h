// The resources of Tabulon: string table, menus, accelerators, toolbar and dialog templates.
#pragma once

#include "platform/core/resources.h"

const afx::ResourceSet& TabulonResources();
// Registers Tabulon's resources with the platform (again is harmless).
void RegisterTabulonResources();
