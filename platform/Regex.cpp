#include "platform/Regex.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <regex.h>

namespace platform {

namespace {

// The engine reads its syntax from a process-wide variable while compiling.
std::mutex& CompileMutex()
{
    static std::mutex mutex;
    return mutex;
}

unsigned char* CaseFoldTable()
{
    static unsigned char table[256];
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < 256; ++i)
            table[i] = static_cast<unsigned char>((i >= 'A' && i <= 'Z') ? i - 'A' + 'a' : i);
    });
    return table;
}

} // namespace

// The engine frees the fastmap and the translation table with the pattern, so both live on the C heap.
struct CRegex::Buffer
{
    re_pattern_buffer pattern{};

    explicit Buffer(bool ignoreCase)
    {
        pattern.fastmap = static_cast<char*>(std::malloc(256));
        if (ignoreCase)
        {
            auto* table = static_cast<unsigned char*>(std::malloc(256));
            if (table)
                for (int i = 0; i < 256; ++i)
                    table[i] = CaseFoldTable()[i];
            pattern.translate = table;
        }
    }
    ~Buffer() { regfree(&pattern); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
};

CRegex::CRegex() = default;
CRegex::~CRegex() = default;
CRegex::CRegex(CRegex&&) noexcept = default;
CRegex& CRegex::operator=(CRegex&&) noexcept = default;

bool CRegex::Compile(std::string_view pattern, Syntax syntax, std::string* error, bool ignoreCase)
{
    m_pBuffer.reset();
    auto buffer = std::make_unique<Buffer>(ignoreCase);
    if (buffer->pattern.fastmap == nullptr)
    {
        if (error)
            *error = "out of memory";
        return false;
    }
    const char* message = nullptr;
    {
        const std::lock_guard<std::mutex> lock(CompileMutex());
        re_syntax_options = syntax == Syntax::Classic ? RE_SYNTAX_EMACS : RE_SYNTAX_POSIX_EXTENDED;
        message = re_compile_pattern(pattern.data(), pattern.size(), &buffer->pattern);
    }
    if (message != nullptr)
    {
        if (error)
            *error = message;
        return false;
    }
    buffer->pattern.not_bol = 0;
    buffer->pattern.not_eol = 0;
    if (re_compile_fastmap(&buffer->pattern) != 0)
    {
        if (error)
            *error = "the expression cannot be prepared for searching";
        return false;
    }
    m_pBuffer = std::move(buffer);
    return true;
}

bool CRegex::Search(std::string_view text) const
{
    if (!m_pBuffer || text.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    const int length = static_cast<int>(text.size());
    return re_search(&m_pBuffer->pattern, text.data(), length, 0, length, nullptr) >= 0;
}

} // namespace platform
