#pragma once
// Special folders of the desktop. The program asks for a folder by its shell
// number and gets an item id from which the file-system path is read; here the
// item id simply carries the path that the XDG base directories give.
#include <QString>

#include <cstdint>

inline constexpr int CSIDL_DESKTOP = 0;
inline constexpr int CSIDL_PERSONAL = 5;  // the documents folder
inline constexpr int CSIDL_APPDATA = 26;  // per-user application data

// An item id of a special folder; false (the "0" id) when there is none.
struct ItemIdList {
  QString path;
  explicit operator bool() const { return !path.isEmpty(); }
};

namespace modShellDefs {

// The special folder `csidl` (desktop, documents or application data); an empty
// id for any other number. The window handle is not needed here.
ItemIdList GetSpecialFolderPIDL(intptr_t hWnd, int csidl);
// The folder's path without a trailing separator; empty for an empty id.
QString GetPathFromPIDL(const ItemIdList& pidl);
// The text before the first NUL, or all of it when it holds none.
QString StripNulls(const QString& text);

}  // namespace modShellDefs
