#include "foldercompare/FolderCompareMethods.h"

#include "definitions/CompareParams.h"
#include "filesystem/FileHelpers.h"
#include "filesystem/FileInfoEx.h"
#include "platform/FileTime.h"
#include "platform/LargeBuffer.h"
#include "platform/Regex.h"
#include "textcompare/ComparisonText.h"
#include "textcompare/TextCompare.h"
#include "textcompare/UnicodeConversion.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads of 256 KiB: the 4096-byte reads of the original method spend most of their time in system
// calls (dd bs=4k runs at a twelfth of dd bs=1M here); two such blocks stay in the second-level cache.
constexpr std::size_t kBinaryBlockSize = 256 * 1024;

// The rules the text method applies: white space, case, blank lines and the line filter. Leading
// and trailing space, line ends and comments are left to the text comparison itself.
constexpr std::uint32_t kTextMethodRules = RULE_IGNOREALLSPACE | RULE_IGNORESPACEDIFFERENCES |
                                           RULE_IGNORETABEXPANSION | RULE_IGNORECASE | RULE_IGNOREBLANKLINES |
                                           RULE_IGNORELINESMATCHINGFILTER;

int Sign(std::int64_t difference)
{
    return difference > 0 ? 1 : (difference < 0 ? -1 : 0);
}

template <typename T> int CompareValues(T left, T right)
{
    return left > right ? 1 : (left < right ? -1 : 0);
}

void SetBit(std::uint32_t& bits, std::uint32_t bit, bool set)
{
    bits = set ? (bits | bit) : (bits & ~bit);
}

// The two read buffers of the binary method, allocated once per thread and reused for every pair:
// fresh memory for each pair would cost a page fault per 4 KiB touched. One byte more than a block, so
// that the last read can ask for a byte beyond the recorded end.
struct BINARY_BUFFERS
{
    std::unique_ptr<char[]> m_data[2];

    char* Get(int side)
    {
        if (!m_data[side])
            m_data[side] = std::make_unique_for_overwrite<char[]>(kBinaryBlockSize + 1);
        return m_data[side].get();
    }
};

BINARY_BUFFERS& ThreadBinaryBuffers()
{
    thread_local BINARY_BUFFERS buffers;
    return buffers;
}

class CReadOnlyFile
{
public:
    CReadOnlyFile() = default;
    ~CReadOnlyFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;

    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer; it changes nothing for regular
    // files. Only a file recorded as empty is checked to be a regular file: FIFOs and devices are
    // recorded with size 0, and whatever replaced a non-empty file since the scan shows in the reads.
    bool Open(const std::string& path, std::uint64_t recordedSize)
    {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (m_fd < 0)
            return false;
        if (recordedSize == 0)
        {
            struct stat st
            {
            };
            return ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
        }
        if (recordedSize > kBinaryBlockSize)
            ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return true;
    }

    // Reads up to `limit` bytes, stopping once at least `enough` have come or the file ends; the byte
    // count, or -1 on an error. A regular file gives short counts only at its end, so asking for one
    // byte more than expected tells in the same call whether the file goes on.
    long Read(char* buffer, std::size_t enough, std::size_t limit)
    {
        std::size_t done = 0;
        while (done < enough)
        {
            const ssize_t n = ::read(m_fd, buffer + done, limit - done);
            if (n < 0)
            {
                if (errno == EINTR)
                    continue;
                return -1;
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return static_cast<long>(done);
    }

private:
    int m_fd = -1;
};

// 0 same, 1 different, -1 error, for two files whose recorded sizes are both `size`. A file that ends
// before or goes on after the recorded size changed since the scan or while being read. The reads
// follow the recorded size, so that a small file costs one read.
int CompareFileBytes(const std::string& leftPath, const std::string& rightPath, std::uint64_t size)
{
    CReadOnlyFile files[2];
    if (!files[0].Open(leftPath, size) || !files[1].Open(rightPath, size))
        return -1;
    BINARY_BUFFERS& buffers = ThreadBinaryBuffers();
    char* blocks[2] = {buffers.Get(0), buffers.Get(1)};
    for (std::uint64_t remaining = size; remaining > 0;)
    {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBinaryBlockSize));
        const std::size_t limit = wanted == remaining ? wanted + 1 : wanted;
        const long left = files[0].Read(blocks[0], wanted, limit);
        const long right = files[1].Read(blocks[1], wanted, limit);
        if (left != static_cast<long>(wanted) || right != static_cast<long>(wanted))
            return -1;
        if (std::memcmp(blocks[0], blocks[1], wanted) != 0)
            return 1;
        remaining -= wanted;
    }
    return 0;
}

// The file's text as the text comparison sees it: UTF-16 with its byte-order mark becomes UTF-8,
// and a UTF-8 mark is dropped, so that the same text in two encodings compares equal.
std::string_view ComparisonTextOf(std::string_view bytes, std::string& converted)
{
    const auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xEF\xBB\xBF"))
        return bytes.substr(3);
    const bool little = starts("\xFF\xFE");
    if (little || starts("\xFE\xFF"))
    {
        std::u16string units((bytes.size() - 2) / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
        {
            const auto b0 = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto b1 = static_cast<unsigned char>(bytes[3 + 2 * i]);
            units[i] = static_cast<char16_t>(little ? (b0 | b1 << 8) : (b1 | b0 << 8));
        }
        converted = TextFromUtf16(units);
        // An odd last byte is kept as it is, so that it still counts as a difference.
        if (bytes.size() % 2 != 0)
            converted.push_back(bytes.back());
        return converted;
    }
    return bytes;
}

} // namespace

void FOLDER_METHOD_SETTINGS::SetTextRules(std::uint32_t rules, std::string_view lineFilter, int tabSize)
{
    m_dwTextRules = rules;
    m_nTabSize = tabSize;
    m_lineFilter.reset();
    if ((rules & RULE_IGNORELINESMATCHINGFILTER) && !lineFilter.empty())
    {
        auto filter = std::make_shared<platform::CRegex>();
        if (CompileLineFilter(lineFilter, *filter))
            m_lineFilter = std::move(filter);
    }
}

CFolderCompareMethods::CFolderCompareMethods(FOLDER_METHOD_SETTINGS settings)
    : m_settings(std::move(settings))
{
}

int CFolderCompareMethods::CompareFileType(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits)
{
    const bool differ = left.DetectFileType(false) != right.DetectFileType(false);
    SetBit(diffBits, DIFF_TYPE, differ);
    return differ ? 1 : 0;
}

int CFolderCompareMethods::CompareTime(const CFileInfoEx& left, const CFileInfoEx& right, bool isFolder,
                                       std::uint32_t& diffBits) const
{
    diffBits &= ~DIFF_LMTIME;
    if (isFolder && m_settings.m_bIgnoreFolderDifferences)
        return 0;
    const platform::FileTime leftTime = left.GetLastWriteFileTime();
    const platform::FileTime rightTime = right.GetLastWriteFileTime();
    int result = 0;
    if (m_settings.m_nTimeTolerance > 0)
    {
        // Both sides are shifted by the same local offset, so whole seconds since any epoch compare alike.
        const auto leftSeconds = static_cast<std::int64_t>(leftTime / platform::kTicksPerSecond);
        const auto rightSeconds = static_cast<std::int64_t>(rightTime / platform::kTicksPerSecond);
        const std::int64_t difference = leftSeconds - rightSeconds;
        if (difference > m_settings.m_nTimeTolerance || -difference > m_settings.m_nTimeTolerance)
            result = Sign(difference);
    }
    else
    {
        result = CompareValues(leftTime, rightTime);
    }
    SetBit(diffBits, DIFF_LMTIME, result != 0);
    return result;
}

int CFolderCompareMethods::CompareSize(const CFileInfoEx& left, const CFileInfoEx& right,
                                       std::uint32_t& diffBits)
{
    const int result = CompareValues(left.GetSize(), right.GetSize());
    SetBit(diffBits, DIFF_SIZE, result != 0);
    return result;
}

int CFolderCompareMethods::CompareAttributes(const CFileInfoEx& left, const CFileInfoEx& right, bool isFolder,
                                             std::uint32_t& diffBits) const
{
    diffBits &= ~DIFF_ATTRIBUTES;
    if (isFolder && m_settings.m_bIgnoreFolderDifferences)
        return 0;
    const bool differ = left.m_dwAttributes != right.m_dwAttributes;
    SetBit(diffBits, DIFF_ATTRIBUTES, differ);
    return differ ? 1 : 0;
}

int CFolderCompareMethods::CompareVersion(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits)
{
    left.LoadVersion(false);
    right.LoadVersion(false);
    std::uint32_t leftMS = 0, leftLS = 0, rightMS = 0, rightLS = 0;
    left.GetVersion(leftMS, leftLS);
    right.GetVersion(rightMS, rightLS);
    int result = CompareValues(leftMS, rightMS);
    if (result == 0)
        result = CompareValues(leftLS, rightLS);
    SetBit(diffBits, DIFF_VERSION, result != 0);
    return result;
}

namespace {

// The cached checksum, told apart from a failed read: the file information keeps 0 for both, so a 0
// is checked once more (the empty file's CRC-32 is 0 as well).
bool ChecksumOf(CFileInfoEx& info, std::uint32_t& crc)
{
    crc = info.ComputeCRC(false);
    if (crc != 0)
        return true;
    return ComputeFileCRC(info.GetPath(), crc) && crc == 0;
}

} // namespace

int CFolderCompareMethods::CompareCRC(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits,
                                      std::uint32_t& contentResult)
{
    diffBits &= ~DIFF_CRC;
    std::uint32_t leftCrc = 0, rightCrc = 0;
    if (!ChecksumOf(left, leftCrc) || !ChecksumOf(right, rightCrc))
    {
        contentResult = CONTENT_ERROR;
        return -1;
    }
    const bool differ = leftCrc != rightCrc;
    SetBit(diffBits, DIFF_CRC, differ);
    contentResult = differ ? CONTENT_DIFFERENT : CONTENT_SAME;
    return differ ? 1 : 0;
}

int CFolderCompareMethods::CompareBinary(const CFileInfoEx& left, const CFileInfoEx& right,
                                         std::uint32_t& contentResult)
{
    int result = 1;
    if (left.GetSize() == right.GetSize())
        result = CompareFileBytes(left.GetPath(), right.GetPath(), left.GetSize());
    contentResult = result == 0 ? CONTENT_SAME : (result > 0 ? CONTENT_DIFFERENT : CONTENT_ERROR);
    return result;
}

int CFolderCompareMethods::CompareText(CFileInfoEx& left, CFileInfoEx& right,
                                       std::uint32_t& contentResult) const
{
    if (left.DetectFileType(false) != 1 || right.DetectFileType(false) != 1)
        return CompareBinary(left, right, contentResult);

    platform::CLargeBuffer contents[2];
    if (platform::ReadWholeFile(left.GetPath(), contents[0]) != 0 ||
        platform::ReadWholeFile(right.GetPath(), contents[1]) != 0)
    {
        contentResult = CONTENT_ERROR;
        return -1;
    }
    std::string converted[2];
    const std::array<std::string_view, 2> texts = {ComparisonTextOf(contents[0].View(), converted[0]),
                                                   ComparisonTextOf(contents[1].View(), converted[1])};
    CTextCompare compare;
    ApplyRules(compare, m_settings.m_dwTextRules & kTextMethodRules, m_settings.m_lineFilter.get(),
               m_settings.m_nTabSize);
    int binaryResult = 0;
    CTextSectionList sections;
    compare.Compare(texts, binaryResult, sections);
    int result = 0;
    if (binaryResult != 0)
    {
        // A text with NUL bytes inside is compared as bytes by the line comparison.
        result = binaryResult == 1 ? 0 : 1;
    }
    else
    {
        for (const CTextSection& section : sections.Sections())
            result += (section.nKind & 0xFF) != SECTION_IGNORED ? 1 : 0;
    }
    contentResult = result == 0 ? CONTENT_SAME : CONTENT_DIFFERENT;
    return result;
}

std::uint32_t CFolderCompareMethods::RunMethods(CFileInfoEx& left, CFileInfoEx& right, bool isFolder,
                                                std::uint32_t methods, std::uint32_t& diffBits,
                                                std::uint32_t& contentResult) const
{
    diffBits = 0;
    contentResult = CONTENT_NONE;
    if (methods & METHOD_LMTIME)
        CompareTime(left, right, isFolder, diffBits);
    if (methods & METHOD_ATTRIBUTES)
        CompareAttributes(left, right, isFolder, diffBits);
    if (isFolder)
        return diffBits;
    if (methods & METHOD_TYPE)
        CompareFileType(left, right, diffBits);
    if (methods & METHOD_SIZE)
        CompareSize(left, right, diffBits);
    if (methods & METHOD_VERSION)
        CompareVersion(left, right, diffBits);
    // Each content method overwrites the result of the one before, but an error stays: a file that
    // could not be read is not reported the same because a later method happened to succeed.
    const auto update = [&contentResult](std::uint32_t result)
    {
        if (contentResult != CONTENT_ERROR)
            contentResult = result;
    };
    std::uint32_t result = CONTENT_NONE;
    if (methods & METHOD_CRC32)
    {
        CompareCRC(left, right, diffBits, result);
        update(result);
    }
    if (methods & METHOD_BINARY)
    {
        CompareBinary(left, right, result);
        update(result);
    }
    if (methods & METHOD_TEXT)
    {
        CompareText(left, right, result);
        update(result);
    }
    return diffBits;
}
