#include "definitions/CompareDefaults.h"

COMPARE_DEFAULTS& CurrentCompareDefaults()
{
    static COMPARE_DEFAULTS defaults;
    return defaults;
}
