// The document's data set: a data table that also reads and writes the program's files.
#pragma once

#include "app/data_table.h"

class CDataSet : public CDataTable {
public:
    CDataSet() = default;
    ~CDataSet() override;
};
