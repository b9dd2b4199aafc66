// libFuzzer target: any bytes as a text file. The first byte picks the code page taken when the
// file has no mark; the rest is the file. Reading must never crash, must account for every line
// end and NUL it met, and must give back the same bytes when the text is saved in the encoding it
// was read in (for the encodings that keep every byte: UTF-8 and UTF-16).
#include "textcompare/UniMemFile.h"
#include "textcompare/UnicodeConversion.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int kCodePages[] = {65001, 1200, 1201, 1252, 932, 20866, 50220, 65000, 936, 37};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The file lives in memory: a memfd reached through its /proc path.
std::string MemoryFile(std::string_view bytes)
{
    static const int fd = memfd_create("FuzzUniDecoder", MFD_CLOEXEC);
    Check(fd >= 0);
    Check(ftruncate(fd, 0) == 0);
    Check(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int codePage = kCodePages[data[0] % std::size(kCodePages)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    UniMemFile file;
    Check(file.OpenRead(MemoryFile(bytes)));
    const bool bom = file.ReadBom();
    if (!bom)
        file.SetCodePage(codePage);
    std::string text;
    std::string line;
    std::string eol;
    int eols = 0;
    while (file.ReadLine(line, eol))
    {
        text += line + eol;
        eols += !eol.empty();
    }
    const TextStats& stats = file.GetStats();
    Check(stats.crCount + stats.lfCount + stats.crlfCount == eols);
    Check(file.GetLineNumber() == eols);
    Check(stats.zeroCount >= 0 && stats.lossCount >= 0);
    Check((stats.zeroCount == 0) == (stats.firstZeroOffset == -1));
    Check(stats.firstZeroOffset <= stats.lastZeroOffset);

    // The batch reading that the buffer's load uses gives the same lines and counters.
    {
        UniMemFile batch;
        Check(batch.OpenRead(MemoryFile(bytes)));
        Check(batch.ReadBom() == bom);
        if (!bom)
            batch.SetCodePage(codePage);
        if (batch.KeepsText())
        {
            std::string viewed;
            UniLineView views[7]; // a small batch, so that batch edges fall inside the text
            for (std::size_t n; (n = batch.ReadLineViews(views, std::size(views))) > 0;)
                for (std::size_t i = 0; i < n; ++i)
                    viewed.append(views[i].text, views[i].length + views[i].eolLength);
            Check(viewed == text);
            const TextStats& batchStats = batch.GetStats();
            Check(batchStats.crCount == stats.crCount && batchStats.lfCount == stats.lfCount &&
                  batchStats.crlfCount == stats.crlfCount && batchStats.zeroCount == stats.zeroCount);
        }
    }

    const int kind = file.GetUnicodeKind();
    const std::string_view body = bytes.substr(file.GetTextStart());
    const bool utf16 = kind == UNICODE_UCS2_LE || kind == UNICODE_UCS2_BE ||
                       (kind == UNICODE_NONE && (codePage == 1200 || codePage == 1201));
    const bool utf8 = kind == UNICODE_UTF8 || (kind == UNICODE_NONE && codePage == 65001);
    if (stats.zeroCount == 0 && (utf8 || (utf16 && body.size() % 2 == 0)))
    {
        Check(stats.lossCount == 0);
        std::string saved;
        Check(ConvertText(UNICODE_UTF8, 65001, text.data(), text.size(), kind, file.GetCodePage(), saved));
        Check(saved == body);
    }
    if (utf8)
        Check(text.size() + static_cast<std::size_t>(stats.zeroCount) == body.size());

    // The helpers over the same bytes.
    std::size_t length = 0;
    const char32_t cp = DecodeUtf8(bytes, &length);
    Check(length <= bytes.size() && (bytes.empty() || length >= 1));
    Check(cp <= 0x10FFFF);
    if (!bytes.empty())
    {
        const int announced = Utf8SequenceLength(static_cast<unsigned char>(bytes[0]));
        Check(cp == 0xFFFD || static_cast<std::size_t>(announced) == length);
    }
    GetUnicodeChar(bytes.substr(0, 8), data[0] % 4, codePage, &length);
    bool lossy = false;
    CodePointToText(cp, lossy, codePage);
    std::string converted;
    ConvertText(UNICODE_NONE, codePage, bytes.data(), bytes.size(), data[0] % 4, 1252, converted);
    return 0;
}
