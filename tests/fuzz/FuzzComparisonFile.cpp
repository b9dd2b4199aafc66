// Comparison-file reader: any bytes are parsed; whatever loads must write out and load back equal.
#include "definitions/ComparisonFile.h"
#include "definitions/ComparisonFileWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CComparisonFile file;
    CComparisonFile::List list;
    std::string why;
    if (!file.LoadComparisonsFromText(text, list, &why))
    {
        if (why.empty() || !list.empty())
            std::abort();
        return 0;
    }
    std::string written;
    if (!CComparisonFileWriter::BuildDocument(list, -1, written))
        std::abort();
    CComparisonFile::List again;
    if (!file.LoadComparisonsFromText(written, again) || again.size() != list.size())
        std::abort();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!again[i]->IsEqual(*list[i]) || again[i]->m_tLastCompared != list[i]->m_tLastCompared)
            std::abort();
    return 0;
}
