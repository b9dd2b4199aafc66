#include "definitions/CompareParamsFactory.h"

#include "definitions/BinaryCompareParams.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"

std::unique_ptr<CCompareParams> CreateCompareParams(int type)
{
    switch (type)
    {
    case COMPARE_TYPE_FOLDER:
        return std::make_unique<CFolderCompareParams>();
    case COMPARE_TYPE_PROJECT:
        return std::make_unique<CProjectCompareParams>();
    case COMPARE_TYPE_TEXT:
        return std::make_unique<CTextCompareParams>();
    case COMPARE_TYPE_BINARY:
        return std::make_unique<CBinaryCompareParams>();
    default:
        return nullptr;
    }
}
