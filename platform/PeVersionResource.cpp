#include "platform/PeVersionResource.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// ---------------------------------------------------------------------------------------------------
// Where the bytes come from: a regular file read piecewise with pread, or a span in memory.

class ByteSource
{
public:
    explicit ByteSource(std::uint64_t size) : m_size(size) {}
    virtual ~ByteSource() = default;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Exactly `size` bytes at `offset`; false when any of them lies beyond the end or cannot be read.
    bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) const
    {
        if (offset > m_size || size > m_size - offset)
            return false;
        return size == 0 || DoRead(offset, size, out);
    }
    bool Read(std::uint64_t offset, std::size_t size, std::vector<std::uint8_t>& out) const
    {
        if (offset > m_size || size > m_size - offset)
            return false; // before allocating anything
        out.resize(size);
        return Read(offset, size, out.data());
    }

private:
    virtual bool DoRead(std::uint64_t offset, std::size_t size, std::uint8_t* out) const = 0;

    std::uint64_t m_size;
};

class SpanSource final : public ByteSource
{
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : ByteSource(bytes.size()), m_bytes(bytes) {}

private:
    bool DoRead(std::uint64_t offset, std::size_t size, std::uint8_t* out) const override
    {
        std::memcpy(out, m_bytes.data() + offset, size);
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
};

class FileSource final : public ByteSource
{
public:
    FileSource(int fd, std::uint64_t size) : ByteSource(size), m_fd(fd) {}

private:
    bool DoRead(std::uint64_t offset, std::size_t size, std::uint8_t* out) const override
    {
        while (size > 0)
        {
            const ssize_t n = ::pread(m_fd, out, size, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false; // an error, or the file shrank under us
            out += n;
            offset += static_cast<std::uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    int m_fd;
};

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// ---------------------------------------------------------------------------------------------------
// The PE image: headers, section table and reads at relative virtual addresses.

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kFileHeaderSize = 24; // "PE\0\0" and the COFF header
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kMaxSections = 96; // the Windows loader's limit
constexpr std::uint32_t kResourceDirectoryIndex = 2;

struct Section
{
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawPointer = 0;
};

class PeImage
{
public:
    explicit PeImage(const ByteSource& source) : m_source(source) {}

    // Reads and checks the headers and the section table.
    bool Load()
    {
        std::uint8_t dos[kDosHeaderSize];
        if (!m_source.Read(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z')
            return false;
        const std::uint64_t peOffset = U32(dos + 0x3C);

        std::uint8_t fileHeader[kFileHeaderSize];
        if (!m_source.Read(peOffset, sizeof fileHeader, fileHeader) ||
            std::memcmp(fileHeader, "PE\0\0", 4) != 0)
            return false;
        const std::uint16_t sectionCount = U16(fileHeader + 4 + 2);
        const std::uint16_t optionalHeaderSize = U16(fileHeader + 4 + 16);
        if (sectionCount > kMaxSections)
            return false;

        // The optional header up to and including the resource directory's entry.
        const std::uint64_t optionalOffset = peOffset + kFileHeaderSize;
        std::uint8_t magic[2];
        if (!m_source.Read(optionalOffset, sizeof magic, magic))
            return false;
        std::size_t rvaCountOffset = 0;
        if (U16(magic) == 0x10B) // PE32
            rvaCountOffset = 92;
        else if (U16(magic) == 0x20B) // PE32+
            rvaCountOffset = 108;
        else
            return false;
        const std::size_t directoriesOffset = rvaCountOffset + 4;
        const std::size_t needed = directoriesOffset + 8 * (kResourceDirectoryIndex + 1);
        if (optionalHeaderSize < needed)
            return false;
        std::uint8_t optional[108 + 4 + 8 * (kResourceDirectoryIndex + 1)]; // enough for PE32+
        if (!m_source.Read(optionalOffset, needed, optional))
            return false;
        if (U32(optional + rvaCountOffset) <= kResourceDirectoryIndex)
            return false;
        m_headersSize = U32(optional + 60); // SizeOfHeaders, at the same place in both formats
        m_resourceRva = U32(optional + directoriesOffset + 8 * kResourceDirectoryIndex);

        std::vector<std::uint8_t> table;
        if (!m_source.Read(optionalOffset + optionalHeaderSize, sectionCount * kSectionHeaderSize, table))
            return false;
        m_sections.resize(sectionCount);
        for (std::size_t i = 0; i < sectionCount; ++i)
        {
            const std::uint8_t* header = table.data() + i * kSectionHeaderSize;
            m_sections[i].virtualAddress = U32(header + 12);
            m_sections[i].rawSize = U32(header + 16);
            m_sections[i].rawPointer = U32(header + 20);
        }
        return true;
    }

    std::uint32_t ResourceRva() const { return m_resourceRva; }

    // Exactly `size` bytes at `rva`, all inside one section's raw data in the file (or inside the
    // headers), as Windows maps an image loaded as a data file.
    bool ReadRva(std::uint64_t rva, std::size_t size, std::uint8_t* out) const
    {
        std::uint64_t offset = 0;
        return FileOffset(rva, size, offset) && m_source.Read(offset, size, out);
    }
    bool ReadRva(std::uint64_t rva, std::size_t size, std::vector<std::uint8_t>& out) const
    {
        std::uint64_t offset = 0;
        return FileOffset(rva, size, offset) && m_source.Read(offset, size, out);
    }

private:
    bool FileOffset(std::uint64_t rva, std::size_t size, std::uint64_t& offset) const
    {
        for (const Section& section : m_sections)
        {
            if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize)
                continue;
            const std::uint64_t inSection = rva - section.virtualAddress;
            if (size > section.rawSize - inSection)
                return false; // runs past the section's data
            offset = section.rawPointer + inSection;
            return true;
        }
        if (rva < m_headersSize && size <= m_headersSize - rva)
        {
            offset = rva;
            return true;
        }
        return false;
    }

    const ByteSource& m_source;
    std::vector<Section> m_sections;
    std::uint32_t m_headersSize = 0;
    std::uint32_t m_resourceRva = 0;
};

// ---------------------------------------------------------------------------------------------------
// The resource tree: type, name, language, each a directory at an offset from the tree's root.

constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kVsVersionInfo = 1;
constexpr std::uint32_t kHighBit = 0x80000000U;

struct ResourceEntry
{
    std::uint32_t name = 0;
    std::uint32_t data = 0;

    bool IsNamed() const { return (name & kHighBit) != 0; }
    std::uint16_t Id() const { return static_cast<std::uint16_t>(name & 0xFFFF); }
    bool IsDirectory() const { return (data & kHighBit) != 0; }
    std::uint32_t Offset() const { return data & ~kHighBit; }
};

bool ReadResourceDirectory(const PeImage& image, std::uint32_t offset, std::vector<ResourceEntry>& entries)
{
    const std::uint64_t at = std::uint64_t{image.ResourceRva()} + offset;
    std::uint8_t header[16];
    if (!image.ReadRva(at, sizeof header, header))
        return false;
    const std::size_t count = std::size_t{U16(header + 12)} + U16(header + 14); // named + id entries
    std::vector<std::uint8_t> raw;
    if (!image.ReadRva(at + sizeof header, count * 8, raw))
        return false;
    entries.resize(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        entries[i].name = U32(raw.data() + 8 * i);
        entries[i].data = U32(raw.data() + 8 * i + 4);
    }
    return true;
}

std::vector<std::uint8_t> VersionBlockFromSource(const ByteSource& source, std::uint16_t preferredLanguage)
{
    PeImage image(source);
    if (!image.Load() || image.ResourceRva() == 0)
        return {};

    // Level 1: the type RT_VERSION. The tree's depth is fixed, so it cannot loop.
    std::vector<ResourceEntry> entries;
    if (!ReadResourceDirectory(image, 0, entries))
        return {};
    auto type = std::find_if(entries.begin(), entries.end(), [](const ResourceEntry& e)
                             { return !e.IsNamed() && e.Id() == kRtVersion && e.IsDirectory(); });
    if (type == entries.end())
        return {};

    // Level 2: the name, VS_VERSION_INFO (1) by preference, else the first.
    const std::uint32_t namesOffset = type->Offset();
    if (!ReadResourceDirectory(image, namesOffset, entries))
        return {};
    auto name = std::find_if(entries.begin(), entries.end(), [](const ResourceEntry& e)
                             { return !e.IsNamed() && e.Id() == kVsVersionInfo && e.IsDirectory(); });
    if (name == entries.end())
        name = std::find_if(entries.begin(), entries.end(),
                            [](const ResourceEntry& e) { return e.IsDirectory(); });
    if (name == entries.end())
        return {};

    // Level 3: the language, whose entry leads to the data entry.
    const std::uint32_t languagesOffset = name->Offset();
    if (!ReadResourceDirectory(image, languagesOffset, entries))
        return {};
    std::erase_if(entries, [](const ResourceEntry& e) { return e.IsDirectory(); });
    if (entries.empty())
        return {};
    std::vector<std::uint16_t> languages;
    languages.reserve(entries.size());
    for (const ResourceEntry& e : entries)
        languages.push_back(e.IsNamed() ? 0xFFFF : e.Id()); // a named language matches nothing
    const ResourceEntry& language = entries[PreferredLanguageIndex(languages, preferredLanguage)];

    std::uint8_t dataEntry[16];
    if (!image.ReadRva(std::uint64_t{image.ResourceRva()} + language.Offset(), sizeof dataEntry, dataEntry))
        return {};
    const std::uint32_t dataRva = U32(dataEntry);
    const std::uint32_t dataSize = U32(dataEntry + 4);
    if (dataSize < 6 || dataSize > kMaxVersionBlockSize) // 6: wLength, wValueLength and wType
        return {};
    std::vector<std::uint8_t> block;
    if (!image.ReadRva(dataRva, dataSize, block))
        return {};
    return block;
}

// ---------------------------------------------------------------------------------------------------
// The VS_VERSIONINFO structure: nested nodes of wLength, wValueLength, wType, a zero-terminated
// UTF-16 key, padding to 4 bytes, the value, padding, the children. Offsets are from the block's
// start, to which the padding is relative.

std::size_t Align4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

struct Node
{
    std::size_t end = 0;        // one past the node's last byte, never past its parent's end
    std::size_t keyStart = 0;   // the key's first unit
    std::size_t keyEnd = 0;     // its terminating zero
    std::size_t valueStart = 0; // the value, up to `end` at most
    std::size_t valueEnd = 0;
    std::size_t childrenStart = 0;
};

bool ParseNode(std::span<const std::uint8_t> block, std::size_t start, std::size_t limit, Node& node)
{
    if (start > limit || limit - start < 6)
        return false;
    const std::size_t length = U16(block.data() + start);
    const std::size_t valueLength = U16(block.data() + start + 2);
    const std::uint16_t type = U16(block.data() + start + 4);
    if (length < 6)
        return false;
    node.end = std::min(start + length, limit); // tolerate a length past the parent's end: clamp
    node.keyStart = start + 6;
    std::size_t pos = node.keyStart;
    for (;; pos += 2)
    {
        if (node.end - pos < 2)
            return false; // no terminating zero inside the node
        if (U16(block.data() + pos) == 0)
            break;
    }
    node.keyEnd = pos;
    node.valueStart = std::min(Align4(pos + 2), node.end);
    const std::size_t valueBytes = type == 1 ? 2 * valueLength : valueLength;
    node.valueEnd = std::min(node.valueStart + valueBytes, node.end);
    node.childrenStart = std::min(Align4(node.valueStart + valueBytes), node.end);
    return true;
}

bool KeyEquals(std::span<const std::uint8_t> block, const Node& node, std::string_view wanted)
{
    const std::string key = Utf8FromUtf16Le(block.subspan(node.keyStart, node.keyEnd - node.keyStart));
    if (key.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i)
    {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(key[i]) != fold(wanted[i]))
            return false;
    }
    return true;
}

bool FindNode(std::span<const std::uint8_t> block, std::string_view queryPath, Node& node)
{
    if (!ParseNode(block, 0, block.size(), node))
        return false;
    while (true)
    {
        while (!queryPath.empty() && queryPath.front() == '\\')
            queryPath.remove_prefix(1);
        if (queryPath.empty())
            return true;
        const std::size_t slash = queryPath.find('\\');
        const std::string_view component = queryPath.substr(0, slash);
        queryPath.remove_prefix(component.size());

        bool found = false;
        Node child;
        // Each child starts at least 6 bytes after the previous one, so the scan ends.
        for (std::size_t pos = node.childrenStart; pos < node.end; pos = Align4(child.end))
        {
            if (!ParseNode(block, pos, node.end, child))
                break;
            if (KeyEquals(block, child, component))
            {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        node = child;
    }
}

struct LocaleLanguage
{
    const char* language;
    const char* region; // "" for the language's main region
    std::uint16_t id;
};

// The common languages; for each, its main region first (the one an unknown region falls back to).
constexpr LocaleLanguage kLocaleLanguages[] = {
    {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "IN", 0x4009},
    {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007},
    {"de", "LI", 0x1407}, {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C}, {"fr", "LU", 0x140C}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A},
    {"es", "AR", 0x2C0A}, {"es", "US", 0x540A}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813}, {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816},
    {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D}, {"da", "DK", 0x0406}, {"nb", "NO", 0x0414},
    {"no", "NO", 0x0414}, {"nn", "NO", 0x0814}, {"fi", "FI", 0x040B}, {"is", "IS", 0x040F},
    {"pl", "PL", 0x0415}, {"cs", "CZ", 0x0405}, {"sk", "SK", 0x041B}, {"hu", "HU", 0x040E},
    {"ro", "RO", 0x0418}, {"hr", "HR", 0x041A}, {"sl", "SI", 0x0424}, {"bg", "BG", 0x0402},
    {"ru", "RU", 0x0419}, {"uk", "UA", 0x0422}, {"be", "BY", 0x0423}, {"el", "GR", 0x0408},
    {"tr", "TR", 0x041F}, {"he", "IL", 0x040D}, {"ar", "SA", 0x0401}, {"ar", "EG", 0x0C01},
    {"ja", "JP", 0x0411}, {"ko", "KR", 0x0412}, {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404},
    {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004}, {"th", "TH", 0x041E}, {"vi", "VN", 0x042A},
    {"id", "ID", 0x0421}, {"ca", "ES", 0x0403}, {"et", "EE", 0x0425}, {"lv", "LV", 0x0426},
    {"lt", "LT", 0x0427}, {"hi", "IN", 0x0439}, {"sr", "RS", 0x241A}, {"sq", "AL", 0x041C},
    {"fa", "IR", 0x0429}, {"ms", "MY", 0x043E}, {"eu", "ES", 0x042D}, {"gl", "ES", 0x0456},
};

} // namespace

std::vector<std::uint8_t> ReadVersionInfoBlock(const std::string& path)
{
    return ReadVersionInfoBlock(path, UserDefaultLanguageId());
}

std::vector<std::uint8_t> ReadVersionInfoBlock(const std::string& path, std::uint16_t preferredLanguage)
{
    // stat first so that a FIFO or a device is not even opened; the fstat below closes the race.
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
        return {};
    const FileSource source(fd.Get(), static_cast<std::uint64_t>(st.st_size));
    return VersionBlockFromSource(source, preferredLanguage);
}

std::vector<std::uint8_t> VersionInfoBlockFromImage(std::span<const std::uint8_t> image)
{
    return VersionInfoBlockFromImage(image, UserDefaultLanguageId());
}

std::vector<std::uint8_t> VersionInfoBlockFromImage(std::span<const std::uint8_t> image,
                                                    std::uint16_t preferredLanguage)
{
    const SpanSource source(image);
    return VersionBlockFromSource(source, preferredLanguage);
}

bool QueryVersionValue(std::span<const std::uint8_t> block, std::string_view queryPath,
                       std::vector<std::uint8_t>& value)
{
    value.clear();
    Node node;
    if (!FindNode(block, queryPath, node))
        return false;
    value.assign(block.begin() + static_cast<std::ptrdiff_t>(node.valueStart),
                 block.begin() + static_cast<std::ptrdiff_t>(node.valueEnd));
    return true;
}

bool QueryVersionString(std::span<const std::uint8_t> block, std::string_view queryPath, std::string& utf8)
{
    utf8.clear();
    Node node;
    if (!FindNode(block, queryPath, node))
        return false;
    utf8 = Utf8FromUtf16Le(block.subspan(node.valueStart, node.end - node.valueStart));
    return true;
}

std::vector<VersionTranslation> QueryVersionTranslations(std::span<const std::uint8_t> block)
{
    std::vector<std::uint8_t> value;
    std::vector<VersionTranslation> translations;
    if (!QueryVersionValue(block, "\\VarFileInfo\\Translation", value))
        return translations;
    for (std::size_t i = 0; i + 4 <= value.size(); i += 4)
        translations.push_back({U16(value.data() + i), U16(value.data() + i + 2)});
    return translations;
}

std::size_t PreferredLanguageIndex(std::span<const std::uint16_t> languages, std::uint16_t userLanguage)
{
    auto find = [&](auto matches) -> std::size_t
    {
        for (std::size_t i = 0; i < languages.size(); ++i)
            if (matches(languages[i]))
                return i;
        return languages.size();
    };
    auto lowByte = [](std::uint16_t language) { return language & 0xFF; };
    const std::size_t none = languages.size();
    std::size_t i = find([&](std::uint16_t l) { return l == userLanguage; });
    if (i == none)
        i = find([&](std::uint16_t l) { return lowByte(l) == lowByte(userLanguage); });
    if (i == none)
        i = find([](std::uint16_t l) { return l == 0; });
    if (i == none)
        i = find([&](std::uint16_t l) { return lowByte(l) == 0; });
    if (i == none)
        i = find([&](std::uint16_t l) { return lowByte(l) == 9; });
    if (i == none && !languages.empty())
        i = 0;
    return i;
}

std::uint16_t LanguageIdFromLocaleName(std::string_view localeName)
{
    // language[_REGION][.codeset][@modifier]; a "-" between language and region is taken too.
    localeName = localeName.substr(0, localeName.find_first_of(".@"));
    const std::size_t separator = localeName.find_first_of("_-");
    std::string language(localeName.substr(0, separator));
    std::string region(separator == std::string_view::npos ? std::string_view()
                                                           : localeName.substr(separator + 1));
    for (char& c : language)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    for (char& c : region)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;

    const LocaleLanguage* main = nullptr;
    for (const LocaleLanguage& entry : kLocaleLanguages)
    {
        if (language != entry.language)
            continue;
        if (region == entry.region)
            return entry.id;
        if (main == nullptr)
            main = &entry;
    }
    return main ? main->id : kEnglishUs;
}

std::uint16_t UserDefaultLanguageId()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return LanguageIdFromLocaleName(value);
    }
    return kEnglishUs;
}

std::string Utf8FromUtf16Le(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    auto append = [&out](char32_t cp) { AppendUtf8(out, cp); };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i)
    {
        const char32_t unit = U16(bytes.data() + 2 * i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units)
        {
            const char32_t low = U16(bytes.data() + 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                append(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        append(unit >= 0xD800 && unit <= 0xDFFF ? char32_t{0xFFFD} : unit);
    }
    return out;
}

} // namespace platform
