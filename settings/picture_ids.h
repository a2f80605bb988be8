// The names of the settings program's pictures, apart from Windows: the
// kinds table names its icons with them.
#pragma once

namespace fw {

enum class Picture {
    NameRule,  // the rule kinds' icons
    ExtRule,
    UrlRule,
    AddByName,
    AddByUrl,
    EditRule,
    DeleteRule,
    UpArrow,
    DownArrow,
    Folder,
    Count,
};

}  // namespace fw
