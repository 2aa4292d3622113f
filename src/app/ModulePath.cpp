#include "app/ModulePath.h"

namespace {

// Drive and directory end at the last separator, or after "X:" when there is none.
std::size_t FolderLength(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) return slash + 1;
    return path.size() >= 2 && path[1] == u':' ? 2 : 0;
}

}  // namespace

std::u16string SiblingFilePath(std::u16string_view modulePath, std::u16string_view name,
                               std::u16string_view extension) {
    std::u16string path(modulePath.substr(0, FolderLength(modulePath)));
    path.append(name);
    if (!extension.empty()) {
        path.push_back(u'.');
        path.append(extension);
    }
    return path;
}

std::u16string ModuleBaseName(std::u16string_view modulePath) {
    const std::u16string_view name = modulePath.substr(FolderLength(modulePath));
    const std::size_t dot = name.find_last_of(u'.');
    return std::u16string(dot == std::u16string_view::npos ? name : name.substr(0, dot));
}

std::u16string ConfigProgramPath(std::u16string_view modulePath) {
    return SiblingFilePath(modulePath, u"K7_Config", u"exe");
}
