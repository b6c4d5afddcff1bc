#pragma once

#include <QString>

namespace platform {

// The file search with the normal attribute set: plain files that are not
// hidden (no folders, devices or dot files). `pattern` is a path whose last
// part may hold the wildcards * and ?; "\" separates folders as "/" does and
// names match without regard to case, as on the system the program was
// designed for. Returns the file name (without folder) of the first match in
// name order, or "" for none.
QString findFirstFile(const QString& pattern);

// `path` as it exists; when nothing has that exact name, the first entry of
// its folder in name order whose name matches the last part without regard
// to case, as the search above matches; "" for none. Keeps a program that
// the search found startable by the name that was searched for.
QString resolveNameCase(const QString& path);

// A path with "\" turned into "/".
QString fromBackslashes(const QString& path);

} // namespace platform
