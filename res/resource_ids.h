// Identifiers of Tabulon's resources, commands and controls.
#pragma once

#include "platform/ui/win_messages.h"

// Templates, menus, tables.
constexpr UINT IDR_MAINFRAME = 128;       // document template, menu, accelerators
constexpr UINT IDR_TOOLBAR = 189;
constexpr UINT IDR_POPUP_MENUS = 180;     // "Funcoes", "Identificador", "Rectangulo de Selecção"
constexpr UINT IDD_ABOUTBOX = 100;

// Strings.
constexpr UINT IDS_FILE_VERSION = 130;    // first line of a native data file
constexpr UINT IDS_STATUS_READING = 61205;
constexpr UINT IDS_STATUS_READY = 61206;
constexpr UINT IDS_STATUS_ANALYSING = 61207;
constexpr UINT IDS_STATUS_FILLING = 61208;
constexpr UINT IDS_STATUS_REPORT = 61209;
constexpr UINT IDS_STATUS_PREPARING = 61210;
constexpr UINT IDS_STATUS_CHARTS = 61211;
constexpr UINT IDS_STATUS_SORTING = 61212;
constexpr UINT IDS_STATUS_RUNNING = 61213;   // "A executar %s...": the engine program's name
constexpr UINT ID_INDICATOR_PROGRESS = 57638;   // the progress pane: 66 blanks wide

// Commands.
constexpr UINT ID_ANALYSIS_PRINCIPAL = 32778;
constexpr UINT ID_ANALYSIS_BINARY = 32779;
constexpr UINT ID_ANALYSIS_MULTIPLE = 32780;
constexpr UINT ID_ANALYSIS_CLASSIFICATION = 32781;
constexpr UINT ID_FILE_EXPORT = 32787;
constexpr UINT ID_FILE_IMPORT = 32788;
constexpr UINT ID_STATS_DESCRIPTIVE = 32790;
constexpr UINT ID_OPTIONS_CONFIGURATION = 32791;
constexpr UINT ID_STATS_HISTOGRAM = 32792;
constexpr UINT ID_STATS_BOXPLOT = 32793;
constexpr UINT ID_STATS_SCATTER = 32794;
constexpr UINT ID_STATS_REGRESSION = 32795;
constexpr UINT ID_STATS_CORRELATION = 32796;
constexpr UINT ID_STATS_COVARIANCE = 32797;
constexpr UINT ID_POPUP_PRINT = 32798;
constexpr UINT ID_POPUP_COPY = 32799;
constexpr UINT ID_STATS_RESISTANT_LINE = 32801;
constexpr UINT ID_POPUP_RESTORE_POSITION = 32804;
constexpr UINT ID_POPUP_ZOOM = 32817;
constexpr UINT ID_POPUP_SELECTED_SAMPLES = 32818;
