#pragma once

#include <cstdint>

class CFolderCompareItem;
namespace platform
{
class FileOperationObserver;
}

// Messages from comparison items to the view that started a file operation; the item is the
// message's second parameter. The view runs each before the sender goes on.
inline constexpr std::uint32_t ITEMMSG_EXPAND = 1064;          // 1 expand, 0 collapse the item's row
inline constexpr std::uint32_t ITEMMSG_REMOVE = 1065;          // the item is being destroyed: drop its rows
inline constexpr std::uint32_t ITEMMSG_REFRESH = 1066;         // 0, or 2 with the subtree: repaint its rows
inline constexpr std::uint32_t ITEMMSG_RECOMPARE = 1067;       // 0, or 2: recompare it (and rebuild below it)
inline constexpr std::uint32_t ITEMMSG_REBUILDCHILDREN = 1068; // 1: rebuild its children, no rescan
inline constexpr std::uint32_t ITEMMSG_INSERTCHILDREN = 1069;  // mode: insert its child rows
inline constexpr std::uint32_t ITEMMSG_REINSERTALL = 1070;     // 0: re-insert every row below the root

// The receiving end of those messages: a view, or a recorder in tests.
class CItemMessageTarget
{
public:
    virtual ~CItemMessageTarget() = default;
    virtual void SendItemMessage(std::uint32_t message, int param, CFolderCompareItem* item) = 0;
    // Asked when a copy or move would replace an existing file; null: never replace without
    // FOF_NOCONFIRMATION.
    virtual platform::FileOperationObserver* GetFileOperationObserver() { return nullptr; }
};
