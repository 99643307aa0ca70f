// Resource ids of the chart dialogs.
#pragma once

#include "platform/core/win_types.h"

constexpr UINT IDD_SELECTED_SAMPLES = 194;   // "Identificadores Selecionadas"
constexpr int IDC_SELECTED_LIST = 1077;
constexpr int IDC_SELECTED_FIRST_CORNER = 1188;
constexpr int IDC_SELECTED_SECOND_CORNER = 1191;

constexpr UINT IDD_CHART_WINDOW = 174;
constexpr UINT IDD_MATRIX_RESULTS = 179;
constexpr UINT IDD_SINGLE_CHART = 185;
constexpr UINT IDD_CHART_OPTIONS = 192;

// The chart window dialog (174) and the single chart dialog (185).
constexpr int IDC_CHART_AREA = 1142;
constexpr int IDC_PAGE_LIST = 1078;
constexpr int IDC_SHOW_IDENTIFIERS = 1160;
constexpr int IDC_SHOW_CONDITIONING = 1161;
constexpr int IDC_OPTIONS_TOGGLE = 1180;
constexpr int IDC_CHART_PREVIOUS = 1193;
constexpr int IDC_ZOOM_IN = 1140;
constexpr int IDC_ZOOM_OUT = 1141;
constexpr int IDC_PLANES_ACTIVE = 1089;
constexpr int IDC_PLANES_SUPPLEMENTARY = 1090;
constexpr int IDC_PLANES_COMBINED = 1091;

// The matrix dialog (179).
constexpr int IDC_MATRIX_HEADER = 1151;
constexpr int IDC_MATRIX_LIST = 1078;

// The options of the chart window dialog (192).
constexpr int IDC_OPTIONS_POINTS = 1186;
constexpr int IDC_OPTIONS_MARKER_SIZE = 1181;
constexpr int IDC_OPTIONS_FILLED = 1183;
constexpr int IDC_OPTIONS_APPLY_CURRENT = 1182;
constexpr int IDC_OPTIONS_APPLY_ALL = 1178;
constexpr int IDC_OPTIONS_TICK_ALL = 1184;
constexpr int IDC_OPTIONS_UNTICK_ALL = 1185;
