#pragma once

#include "definitions/CompareParams.h"

#include <memory>

// A new definition of a type id with that type's defaults; nullptr for an unknown type.
std::unique_ptr<CCompareParams> CreateCompareParams(int type);
