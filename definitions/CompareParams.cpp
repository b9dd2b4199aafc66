#include "definitions/CompareParams.h"

#include "platform/FileSystemEntry.h"

#include <utility>

std::string ObjectDisplayName(const std::string& path, bool wholePath)
{
    if (path.empty())
        return "Untitled";
    if (wholePath)
        return path;
    const std::string name = platform::NameOfPath(path);
    return name.empty() ? path : name; // the root has no last element of its own
}

namespace {

std::string NormalisedPath(const std::string& path)
{
    std::string out;
    out.reserve(path.size());
    for (const char c : path)
        if (c != '/' || out.empty() || out.back() != '/')
            out.push_back(c);
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

bool SameObject(const COMPARE_OBJECT& a, const COMPARE_OBJECT& b)
{
    return a.m_dwFlags == b.m_dwFlags && IsSamePath(a.m_strPath, b.m_strPath);
}

} // namespace

bool IsSamePath(const std::string& a, const std::string& b)
{
    return a == b || NormalisedPath(a) == NormalisedPath(b);
}

std::string CCompareParams::GetTitle() const
{
    return ObjectDisplayName(m_objects[kLeft].m_strPath) + " : " + ObjectDisplayName(m_objects[kRight].m_strPath);
}

void CCompareParams::SwapSides()
{
    std::swap(m_objects[kLeft], m_objects[kRight]);
}

bool CCompareParams::IsSameObjects(const CCompareParams& other, bool allowSwap) const
{
    const auto& a = m_objects;
    const auto& b = other.m_objects;
    if (IsSamePath(a[kLeft].m_strPath, b[kLeft].m_strPath) && IsSamePath(a[kRight].m_strPath, b[kRight].m_strPath))
        return true;
    return allowSwap && IsSamePath(a[kLeft].m_strPath, b[kRight].m_strPath) &&
           IsSamePath(a[kRight].m_strPath, b[kLeft].m_strPath);
}

void CCompareParams::CopyFrom(const CCompareParams& other)
{
    m_objects = other.m_objects;
}

bool CCompareParams::IsEqual(const CCompareParams& other) const
{
    return m_nType == other.m_nType && SameObject(m_objects[kLeft], other.m_objects[kLeft]) &&
           SameObject(m_objects[kRight], other.m_objects[kRight]);
}

std::string CCompareParams::GetCommandLine(bool, bool, CommandLineQuoting) const
{
    return {};
}

std::string FormatComparisonTitle(const CCompareParams& params, bool leftModified, bool rightModified,
                                  bool showLongTitle)
{
    return ObjectDisplayName(params.m_objects[CCompareParams::kLeft].m_strPath, showLongTitle) +
           (leftModified ? " *" : "") + " : " +
           ObjectDisplayName(params.m_objects[CCompareParams::kRight].m_strPath, showLongTitle) +
           (rightModified ? " *" : "");
}
