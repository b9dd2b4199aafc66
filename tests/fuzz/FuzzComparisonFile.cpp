// Comparison-file reader: any bytes are parsed. Whatever loads is written out; that document must load
// back to equal definitions and write out the same text again (older formats may hold times that the
// current one rounds to whole days, so the first write is the fixed point).
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
    if (!CComparisonFileWriter::BuildDocument(again, -1, rewritten) || rewritten != written)
        std::abort();
    CComparisonFile::List third;
    if (!file.LoadComparisonsFromText(rewritten, third))
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i)
        if (!third[i]->IsEqual(*again[i]) || third[i]->m_tLastCompared != again[i]->m_tLastCompared)
            std::abort();
    return 0;
}
