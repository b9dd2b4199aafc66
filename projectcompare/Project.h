#pragma once

#include <string>

// Where a reader puts what a project file lists: its source files, or, for a group, its projects.
class IProjectSink
{
public:
    virtual ~IProjectSink() = default;
    virtual void AddListedFile(const std::string& path) = 0;
    virtual void AddProject(const std::string& path) = 0;
};

// The reader of one project file format.
class CProject
{
public:
    virtual ~CProject() = default;
    // 0 on success, -1 when the file cannot be opened or parsed.
    virtual int Read(const std::string& path, IProjectSink& sink) = 0;
    // A relative path (with "\" or "/" separators, as project files written on Windows hold them)
    // joined to the project file's folder and made canonical; an absolute path unchanged.
    virtual std::string ResolvePath(const std::string& relative) const;
    // 1 for a project, 2 for a group of projects.
    virtual int GetKind() const { return 1; }

    std::string m_strPath;
};

// The lexically canonical form of a path: "." and ".." resolved, repeated "/" folded.
std::string CanonicalPath(const std::string& path);
