#include "definitions/ComparisonFile.h"

#include "definitions/ComparisonFileReader.h"
#include "definitions/ComparisonFileWriter.h"
#include "platform/FileIo.h"

#include <tinyxml2.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Comparison files are small; anything larger is not one and is not read into memory.
constexpr std::size_t kMaxFileSize = 256u << 20;

bool ReadWholeFile(const std::string& path, std::string& data, std::string& whyNot)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
    {
        whyNot = std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        whyNot = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
        close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileSize)
    {
        whyNot = "too large for a comparison file";
        close(fd);
        return false;
    }
    data.clear();
    char buffer[65536];
    for (;;)
    {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            whyNot = std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
        if (data.size() > kMaxFileSize)
        {
            whyNot = "too large for a comparison file";
            close(fd);
            return false;
        }
    }
    close(fd);
    return true;
}

bool Fail(std::string* whyNot, std::string reason)
{
    if (whyNot)
        *whyNot = std::move(reason);
    return false;
}

} // namespace

bool CComparisonFile::LoadComparisons(const std::string& path, List& list, std::string* whyNot) const
{
    std::string data;
    std::string reason;
    if (!ReadWholeFile(path, data, reason))
        return Fail(whyNot, reason);
    return LoadComparisonsFromText(data, list, whyNot);
}

bool CComparisonFile::LoadComparisonsFromText(std::string_view xml, List& list, std::string* whyNot) const
{
    tinyxml2::XMLDocument doc;
    if (doc.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS)
        return Fail(whyNot, "not a comparison file: the XML is not well-formed (line " +
                                std::to_string(doc.ErrorLineNum()) + ")");

    const tinyxml2::XMLElement* root = doc.FirstChildElement("Comparisons");
    if (root)
    {
        const char* version = root->Attribute("Version");
        ComparisonFileVersion selected;
        if (version == nullptr)
            return Fail(whyNot, "the comparison file has no version");
        if (std::strcmp(version, "1.0.8") == 0)
            selected = ComparisonFileVersion::V1_0_8;
        else if (std::strcmp(version, "1.0.3") == 0)
            selected = ComparisonFileVersion::V1_0_3;
        else if (std::strcmp(version, "1.0.2") == 0)
            selected = ComparisonFileVersion::V1_0_2;
        else if (std::strcmp(version, "1.0.1") == 0)
            selected = ComparisonFileVersion::V1_0_1;
        else
            return Fail(whyNot, std::string("unsupported comparison file version \"") + version + "\"");
        CComparisonFileReader(selected).ReadEntries(*root, list);
        return true;
    }
    root = doc.FirstChildElement("Quorvane");
    if (root == nullptr)
        root = doc.FirstChildElement("Vandrel");
    const char* format = root ? root->Attribute("Format") : nullptr;
    if (format == nullptr || std::strcmp(format, "1.0") != 0)
        return Fail(whyNot, "not a comparison file");
    CComparisonFileReader(ComparisonFileVersion::Format1_0).ReadEntries(*root, list);
    return true;
}

bool CComparisonFile::SaveComparisons(const std::string& path, const List& list, int maxCount,
                                      std::string* whyNot) const
{
    std::string text;
    if (!CComparisonFileWriter::BuildDocument(list, maxCount, text))
        return Fail(whyNot, "the document could not be built");
    if (const int error = platform::ReplaceFileContents(path, text); error != 0)
        return Fail(whyNot, std::strerror(error));
    return true;
}

bool IsComparisonFile(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() < 4)
        return false;
    const std::string_view extension = name.substr(name.size() - 4);
    return extension[0] == '.' && (extension[1] | 0x20) == 'c' && (extension[2] | 0x20) == 'm' &&
           (extension[3] | 0x20) == 'p';
}
