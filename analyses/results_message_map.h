// The message-map entries that every factorial results dialog shares.
#pragma once

#define FACTOR_RESULTS_MESSAGE_ENTRIES(Class)                                                \
    ON_BN_CLICKED(IDC_RESULTS_LISTING, &Class::OnListing)                                    \
    ON_BN_CLICKED(IDC_RESULTS_EIGENVALUES, &Class::OnEigenvalues)                            \
    ON_BN_CLICKED(IDC_RESULTS_SCREE_PLOT, &Class::OnScreePlot)                               \
    ON_BN_CLICKED(IDC_RESULTS_COLUMN_COORDINATES, &Class::OnColumnCoordinates)               \
    ON_BN_CLICKED(IDC_RESULTS_ROW_COORDINATES, &Class::OnRowCoordinates)                     \
    ON_BN_CLICKED(IDC_RESULTS_COLUMN_PLANE, &Class::ShowColumnPlane)                         \
    ON_BN_CLICKED(IDC_RESULTS_ROW_PLANE, &Class::ShowRowPlane)                               \
    ON_BN_CLICKED(IDC_RESULTS_ROW_COLUMN_PLANE, &Class::OnRowColumnPlane)                    \
    ON_BN_CLICKED(IDC_RESULTS_HTML, &Class::OnGenerateHtml)                                  \
    ON_EN_KILLFOCUS(IDC_RESULTS_FACTOR_COUNT, &Class::OnFactorCountChange)
