#include "projectcompare/ProjectFactory.h"

#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <mutex>
#include <sys/stat.h>

namespace {

constexpr int kVisualCpp = 1;
constexpr int kVisualBasic = 2;

ProjectReaderMaker& ReaderMaker()
{
    static ProjectReaderMaker maker;
    return maker;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Recognition by extension: each listed extension gives its kind.
struct KIND_OF
{
    const char* extension;
    int kind;
};

PROJECTIO_DEFINITION Define(const char* description, const char* extensions, const char* ideName,
                            std::vector<KIND_OF> kinds, int makefileIde = 0)
{
    PROJECTIO_DEFINITION d;
    d.description = description;
    d.extensions = extensions;
    d.ideName = ideName;
    d.recognize = [kinds, makefileIde](const std::string& path) {
        const std::string extension = LowerExtension(path);
        if (makefileIde != 0 && extension == ".mak")
            return DetectMakefileIde(path) == makefileIde ? 1 : 0;
        for (const auto& k : kinds)
            if (extension == k.extension)
                return k.kind;
        return 0;
    };
    d.create = [](const std::string& path) -> std::unique_ptr<CProject> {
        const ProjectReaderMaker& maker = ReaderMaker();
        std::unique_ptr<CProject> reader = maker ? maker(LowerExtension(path)) : nullptr;
        if (reader)
            reader->m_strPath = path;
        return reader;
    };
    return d;
}

const CProjectFactory*& ApplicationFactory()
{
    static const CProjectFactory* factory = nullptr;
    return factory;
}

const CProjectFactory& DefaultFactory()
{
    static const CProjectFactory factory = [] {
        CProjectFactory f;
        f.RegisterProjectTypes();
        return f;
    }();
    return factory;
}

} // namespace

std::string LowerExtension(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : Lower(std::string(name.substr(dot)));
}

int DetectMakefileIde(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return 0;
    std::string line;
    while (std::getline(file, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (const char* marker : {"Visual C++", "Developer Studio Generated NMAKE File", "CPP", "RSC", "MTL"})
            if (line.find(marker) != std::string::npos)
                return kVisualCpp;
        if (line.find("ProjWinSize") != std::string::npos || line.find("ProjWinShow") != std::string::npos)
            return kVisualBasic;
        const std::string lower = Lower(line);
        if (lower.find("link") != std::string::npos)
            return kVisualCpp;
        if (lower.find(".bas") != std::string::npos || lower.find(".frm") != std::string::npos ||
            lower.find(".vbx") != std::string::npos)
            return kVisualBasic;
    }
    return 0;
}

void CProjectFactory::SetReaderMaker(ProjectReaderMaker maker)
{
    ReaderMaker() = std::move(maker);
}

int CProjectFactory::RegisterProjectTypes()
{
    m_definitions.clear();
    const PROJECTIO_DEFINITION types[] = {
        Define("Visual Studio Projects", ".sln;.csproj;.vcproj;.vbproj;.vjsproj", "Visual Studio",
               {{".sln", 2}, {".csproj", 1}, {".vcproj", 1}, {".vbproj", 1}, {".vjsproj", 1}}),
        Define("Visual C++ Projects", ".dsw;.dsp;.mak", "Visual C++", {{".dsw", 2}, {".dsp", 1}}, kVisualCpp),
        Define("eMbedded Visual C++ Projects", ".vcw;.vcp", "eMbedded Visual C++", {{".vcw", 2}, {".vcp", 1}}),
        Define("Visual Basic Projects", ".vbp;.mak;.vbg", "Visual Basic", {{".vbg", 2}, {".vbp", 1}}, kVisualBasic),
        Define("Delphi Projects", ".dpr;.bpg;.dpk", "Delphi", {{".bpg", 2}, {".dpr", 1}, {".dpk", 1}}),
        Define("C++Builder Projects", ".bpr;.bpg;.bpk", "C++Builder", {{".bpg", 2}, {".bpr", 1}, {".bpk", 1}}),
        Define("Visual J++ Projects", ".vjp", "Visual J++", {{".vjp", 1}}),
    };
    for (const auto& type : types)
        m_definitions.push_back(std::make_unique<CProjectIODefinition>(type));
    return 1;
}

int CProjectFactory::RecognizeProject(const std::string& path, const CProjectIODefinition** definition) const
{
    for (const auto& d : m_definitions)
    {
        if (!d->enabled)
            continue;
        if (const int kind = d->recognize(path); kind != 0)
        {
            if (definition)
                *definition = d.get();
            return kind;
        }
    }
    if (definition)
        *definition = nullptr;
    return 0;
}

std::unique_ptr<CProject> CProjectFactory::CreateProjectReader(const std::string& path,
                                                               const CProjectIODefinition** definition) const
{
    for (const auto& d : m_definitions)
    {
        if (d->recognize(path) == 0)
            continue;
        if (definition)
            *definition = d.get();
        return d->create(path);
    }
    if (definition)
        *definition = nullptr;
    return nullptr;
}

std::string CProjectFactory::GetFileDialogFilter() const
{
    std::string types;
    std::string all;
    for (const auto& d : m_definitions)
    {
        if (!d->enabled)
            continue;
        std::string patterns;
        for (const char c : d->extensions)
        {
            if (c == '.')
                patterns += "*.";
            else
                patterns.push_back(c);
        }
        types += d->description + " (" + patterns + ")|" + patterns + "|";
        all += patterns + ";";
    }
    while (!all.empty() && all.back() == ';')
        all.pop_back();
    return "All Supported Projects (" + all + ")|" + all + "|" + types + "All files (*.*)|*.*||";
}

bool CProjectFactory::SaveProjectTypes(platform::Profile& profile)
{
    bool ok = true;
    for (const auto& d : m_definitions)
        ok &= profile.WriteProfileInt(std::string(kProjectsSection) + "\\" + d->ideName, "Enabled", d->enabled ? 1 : 0);
    m_definitions.clear();
    return ok;
}

void CProjectFactory::LoadEnabledFlags(const platform::Profile& profile)
{
    for (const auto& d : m_definitions)
        d->enabled = profile.GetProfileInt(std::string(kProjectsSection) + "\\" + d->ideName, "Enabled", 1) != 0 ? 1 : 0;
}

void SetApplicationProjectFactory(const CProjectFactory* factory)
{
    ApplicationFactory() = factory;
}

int IsProjectFile(const std::string& path)
{
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return 0;
    const CProjectFactory* factory = ApplicationFactory();
    return (factory ? *factory : DefaultFactory()).RecognizeProject(path);
}
