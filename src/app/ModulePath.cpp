#include "app/ModulePath.h"

std::u16string SiblingFilePath(std::u16string_view modulePath, std::u16string_view name,
                               std::u16string_view extension) {
    // Drive and directory end at the last separator, or after "X:" when there is none.
    std::size_t keep = modulePath.find_last_of(u"\\/");
    if (keep != std::u16string_view::npos)
        ++keep;
    else
        keep = (modulePath.size() >= 2 && modulePath[1] == u':') ? 2 : 0;
    std::u16string path(modulePath.substr(0, keep));
    path.append(name);
    if (!extension.empty()) {
        path.push_back(u'.');
        path.append(extension);
    }
    return path;
}
