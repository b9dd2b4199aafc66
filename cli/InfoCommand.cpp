#include "cli/Commands.h"
#include "cli/JsonWriter.h"

#include "filesystem/FileInfoEx.h"
#include "platform/FileSystemEntry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* TypeWord(int type)
{
    return type == 1 ? "text" : type == 2 ? "binary" : "unknown";
}

// Why a path could not be described, for the message on standard error.
std::string MissingReason(const std::string& path)
{
    platform::FindData entry;
    const int error = platform::ReadEntry(path, entry);
    if (error != 0)
        return std::strerror(error);
    if (entry.m_bSymlink && entry.m_nError != 0)
        return std::string("dangling symbolic link (") + std::strerror(entry.m_nError) + ")";
    return "cannot be read";
}

struct InfoLine
{
    std::string m_strKind;
    std::string m_strCRC;
    bool m_bTrouble = false;
};

InfoLine Describe(const std::string& path, CFileInfoEx& info)
{
    InfoLine line;
    if (!info.LoadFromPath(path))
    {
        line.m_strKind = "missing";
        line.m_bTrouble = true;
        ReportProblem(path, MissingReason(path));
        return line;
    }
    line.m_strKind = info.IsFolder() ? "folder" : "file";
    if (info.IsFolder())
        return line;
    info.LoadVersion();
    if (info.DetectFileType() == -1)
    {
        // Readers tell apart "cannot be read" from an empty checksum of 0.
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const int error = fd < 0 ? errno : 0;
        if (fd >= 0)
            close(fd);
        line.m_bTrouble = true;
        ReportProblem(path, fd < 0 ? std::strerror(error) : "not a regular file");
        return line;
    }
    info.ComputeCRC();
    line.m_strCRC = info.GetCRCString(true);
    return line;
}

} // namespace

int RunInfoCommand(const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> paths;
    if (!ParseListingArgs(args, "info", "info [--json] PATH...", json, paths))
        return 2;

    int status = 0;
    for (const std::string& path : paths)
    {
        CFileInfoEx info;
        const InfoLine line = Describe(path, info);
        if (line.m_bTrouble)
            status = 2;
        const bool missing = line.m_strKind == "missing";
        if (json)
        {
            CJsonObject object;
            object.AddPath("path", path, "pathBytes")
                .Add("kind", line.m_strKind)
                .Add("size", static_cast<std::uint64_t>(missing ? 0 : info.GetSize()))
                .Add("mtime", missing ? std::string() : info.FormatLastWriteTime())
                .Add("attributes", missing ? std::string() : info.GetAttributesString(true))
                .Add("type", TypeWord(info.GetFileType()))
                .Add("crc", line.m_strCRC)
                .Add("version", info.GetVersionString());
            std::printf("%s\n", object.Str().c_str());
        }
        else if (!missing)
        {
            auto orDash = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
            std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", line.m_strKind.c_str(),
                        orDash(info.GetSizeString()).c_str(), orDash(info.FormatLastWriteTime()).c_str(),
                        info.GetAttributesString(true).c_str(), TypeWord(info.GetFileType()),
                        orDash(line.m_strCRC).c_str(), info.GetVersionString().c_str(), path.c_str());
        }
    }
    return status;
}
