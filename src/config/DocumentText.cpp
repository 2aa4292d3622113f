#include "config/DocumentText.h"

#include <vector>

std::u16string FillText(std::u16string_view text, std::initializer_list<std::u16string_view> arguments) {
    const std::vector<std::u16string_view> args(arguments);
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - u'1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::u16string_view FileName(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string DocumentName(const CConfigDocument& document, const ConfigTexts& texts) {
    std::u16string what;
    switch (document.From()) {
    case CConfigDocument::Source::Stored: what = texts.titleStored; break;
    case CConfigDocument::Source::New: what = texts.titleNew; break;
    case CConfigDocument::Source::File: what = FileName(document.Path()); break;
    case CConfigDocument::Source::Draft:
        // Edits kept of a file are that file's, still unsaved.
        what = document.Path().empty() ? texts.titleDraft : std::u16string(FileName(document.Path()));
        break;
    }
    return what;
}

std::u16string DocumentTitle(const CConfigDocument& document, const ConfigTexts& texts, std::u16string_view program) {
    return (document.Modified() ? u"*" : u"") + DocumentName(document, texts) + u" - " + std::u16string(program);
}
