// Resource ids of the chart dialogs.
#pragma once

#include "platform/core/win_types.h"

constexpr UINT IDD_SELECTED_SAMPLES = 194;   // "Identificadores Selecionadas"
constexpr int IDC_SELECTED_LIST = 1077;
constexpr int IDC_SELECTED_FIRST_CORNER = 1188;
constexpr int IDC_SELECTED_SECOND_CORNER = 1191;
