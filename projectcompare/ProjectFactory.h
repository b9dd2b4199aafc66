#pragma once

#include "projectcompare/Project.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Profile;
}

// One supported project type: its dialog title, extensions (";"-separated, with dots), the IDE name
// (also its registry key), how it recognises a path (0 no, 1 project, 2 group) and how it creates
// the reader of a path.
struct PROJECTIO_DEFINITION
{
    std::string description;
    std::string extensions;
    std::string ideName;
    std::function<int(const std::string& path)> recognize;
    std::function<std::unique_ptr<CProject>(const std::string& path)> create;
};

class CProjectIODefinition : public PROJECTIO_DEFINITION
{
public:
    explicit CProjectIODefinition(PROJECTIO_DEFINITION definition) : PROJECTIO_DEFINITION(std::move(definition)) {}
    int enabled = 1;
};

// Creates the reader of one project format for a path; readers register here by format (".sln",
// ".dsp", ...). Until a format has a reader, its files are recognised but cannot be read.
using ProjectReaderMaker = std::function<std::unique_ptr<CProject>(const std::string& extension)>;

// The registry of project types, in registration order (which decides who wins an extension).
class CProjectFactory
{
public:
    static constexpr std::string_view kProjectsSection =
        "Comparisons\\FolderComparison\\ProjectComparison\\Settings\\Projects";

    CProjectFactory() = default;
    CProjectFactory(CProjectFactory&&) = default;
    CProjectFactory& operator=(CProjectFactory&&) = default;
    virtual ~CProjectFactory() = default;

    int RegisterProjectTypes();
    int RecognizeProject(const std::string& path, const CProjectIODefinition** definition = nullptr) const;
    std::unique_ptr<CProject> CreateProjectReader(const std::string& path,
                                                  const CProjectIODefinition** definition = nullptr) const;
    std::string GetFileDialogFilter() const;
    // Writes each type's "Enabled" value, then forgets the types.
    bool SaveProjectTypes(platform::Profile& profile);
    // Reads the stored "Enabled" values of the registered types (missing ones stay enabled).
    void LoadEnabledFlags(const platform::Profile& profile);

    std::vector<std::unique_ptr<CProjectIODefinition>>& Definitions() { return m_definitions; }
    const std::vector<std::unique_ptr<CProjectIODefinition>>& Definitions() const { return m_definitions; }

    static void SetReaderMaker(ProjectReaderMaker maker);

private:
    std::vector<std::unique_ptr<CProjectIODefinition>> m_definitions;
};

// The extension of a path's last element from its last dot, lowered; "" without one.
std::string LowerExtension(std::string_view path);

// Which IDE wrote a ".mak" file: 1 Visual C++, 2 Visual Basic, 0 neither or unreadable.
int DetectMakefileIde(const std::string& path);

// 0 when the path does not exist, else the kind the application's project types give it.
int IsProjectFile(const std::string& path);
// The factory `IsProjectFile` asks (the application's; a default one until it sets its own).
void SetApplicationProjectFactory(const CProjectFactory* factory);
