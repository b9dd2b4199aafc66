// Comparison-file reader: any bytes are parsed. Whatever loads is written out and read back twice; the
// second reading must equal the first and write out the same text again. (Older formats hold times that
// the current one rounds to whole days, and a day whose midnight is time 0 reads as "no bound", so the
// first writes may still move values.)
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
    std::string rewritten;
    if (!CComparisonFileWriter::BuildDocument(again, -1, rewritten))
        std::abort();
    CComparisonFile::List third;
    if (!file.LoadComparisonsFromText(rewritten, third) || third.size() != again.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i)
        if (!third[i]->IsEqual(*again[i]) || third[i]->m_tLastCompared != again[i]->m_tLastCompared)
            std::abort();
    std::string fixedPoint;
    if (!CComparisonFileWriter::BuildDocument(third, -1, fixedPoint) || fixedPoint != rewritten)
        std::abort();
    return 0;
}
