// Code-page conversion through glibc's iconv. Code pages without an iconv
// counterpart are reported as not available, as MultiByteToWideChar reports an
// unknown code page.
#include "xml/CodePageConversion.h"
#include "xml/Utf8Text.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <string>

namespace {

struct CodePageName {
    std::uint32_t codePage;
    const char* iconvName;
};

// The table keeps its rows.
// clang-format off
constexpr std::array<CodePageName, 84> kIconvNames{{
    {37, "IBM037"},           {420, "IBM420"},        {437, "IBM437"},        {708, "ASMO-708"},
    {737, "CP737"},           {775, "CP775"},         {850, "IBM850"},        {852, "IBM852"},
    {857, "IBM857"},          {861, "IBM861"},        {862, "IBM862"},        {866, "IBM866"},
    {869, "IBM869"},          {870, "IBM870"},        {874, "CP874"},         {875, "IBM875"},
    {932, "CP932"},           {936, "CP936"},         {949, "CP949"},         {950, "CP950"},
    {1026, "IBM1026"},        {1140, "IBM1140"},      {1142, "IBM1142"},
    {1143, "IBM1143"},        {1144, "IBM1144"},      {1145, "IBM1145"},      {1146, "IBM1146"},
    {1147, "IBM1147"},        {1148, "IBM1148"},      {1149, "IBM1149"},      {1250, "CP1250"},
    {1251, "CP1251"},         {1252, "CP1252"},       {1253, "CP1253"},       {1254, "CP1254"},
    {1255, "CP1255"},         {1256, "CP1256"},       {1257, "CP1257"},       {1258, "CP1258"},
    {1361, "JOHAB"},          {10000, "MACINTOSH"},   {10007, "MAC-CYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},        {20106, "ISO646-DE"},   {20107, "ISO646-SE2"},  {20108, "ISO646-NO"},
    {20127, "ANSI_X3.4-1968"}, {20273, "IBM273"},     {20277, "IBM277"},      {20278, "IBM278"},
    {20280, "IBM280"},        {20284, "IBM284"},      {20285, "IBM285"},      {20290, "IBM290"},
    {20423, "IBM423"},        {20424, "IBM424"},      {20866, "KOI8-R"},      {20880, "IBM880"},
    {20905, "IBM905"},        {21025, "IBM1025"},     {21866, "KOI8-U"},      {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},    {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},    {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},
    {28605, "ISO-8859-15"},   {38598, "ISO-8859-8"},  {50220, "ISO-2022-JP"}, {50225, "ISO-2022-KR"},
    {50930, "IBM930"},        {50933, "IBM933"},      {50935, "IBM935"},      {50937, "IBM937"},
    {50939, "IBM939"},        {51932, "EUC-JP"},      {51936, "EUC-CN"},      {51949, "EUC-KR"},
    {65000, "UTF-7"},
}};
// clang-format on

// The table keeps its rows.
// clang-format off
const char* IconvName(std::uint32_t codePage) {
    if (codePage == kCodePageDefaultAnsi)
        codePage = 1252;
    auto it = std::lower_bound(kIconvNames.begin(), kIconvNames.end(), codePage,
                               [](const CodePageName& e, std::uint32_t cp) { return e.codePage < cp; });
    return it != kIconvNames.end() && it->codePage == codePage ? it->iconvName : nullptr;
}

// Opening a converter loads conversion modules; each is opened once per thread,
// kept until the thread ends, and returned to its initial state before each use.
class ConverterCache {
public:
    ConverterCache() = default;
    ConverterCache(const ConverterCache&) = delete;
    ConverterCache& operator=(const ConverterCache&) = delete;
    ~ConverterCache() {
        for (auto& [name, cd] : m_open)
            if (cd != kNone)
                iconv_close(cd);
    }

    iconv_t For(const char* name) {
        auto [it, inserted] = m_open.try_emplace(name, kNone);
        if (inserted)
            it->second = iconv_open("UTF-16LE", name);
        else if (it->second != kNone)
            iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }

    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

private:
    std::map<std::string, iconv_t> m_open;
};
// clang-format on

}  // namespace

bool ConvertFromCodePage(std::uint32_t codePage, std::span<const std::uint8_t> bytes, std::u16string& out) {
    if (codePage == kCodePageUtf8) {
        AppendUtf16FromUtf8(bytes, out);
        return true;
    }
    const char* name = IconvName(codePage);
    if (!name) return false;
    thread_local ConverterCache converters;
    iconv_t cd = converters.For(name);
    if (cd == ConverterCache::kNone) return false;

    std::array<char, 4096> buffer;
    auto flush = [&](std::size_t produced) {
        for (std::size_t i = 0; i + 1 < produced; i += 2)
            out += static_cast<char16_t>(static_cast<std::uint8_t>(buffer[i]) |
                                         (static_cast<std::uint8_t>(buffer[i + 1]) << 8));
    };
    // iconv does not write to its input; its signature just predates const.
    char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    bool shiftFlushed = false;
    while (true) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        std::size_t rc;
        if (inLeft) {
            rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        } else {
            // Ends a stateful encoding (ISO-2022, UTF-7) in its initial state.
            rc = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
            shiftFlushed = true;
        }
        int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        flush(buffer.size() - outLeft);
        if (error == E2BIG) {
            shiftFlushed = false;
            continue;
        }
        if (error == EILSEQ || error == EINVAL) {
            // A byte that starts no valid character becomes U+FFFD and conversion
            // goes on after it, as with the system converter.
            out += u'\uFFFD';
            ++in;
            --inLeft;
            continue;
        }
        if (shiftFlushed) break;
    }
    return true;
}
