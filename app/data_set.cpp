#include "app/data_set.h"

CDataSet::~CDataSet() = default;
