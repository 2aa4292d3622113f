// Character-set names of encoding declarations and the Windows code pages they
// stand for, in 150 buckets.
#include "xml/CharsetTable.h"

#include <string>

namespace {

constexpr std::array<NamedValue, kCharsetNameCount> kCharsetList{{
    {u"ebcdic-cp-us", 37},
    {u"x-ebcdic-arabic", 420},
    {u"437", 437}, {u"ibm437", 437}, {u"cspc8", 437}, {u"cp437", 437}, {u"codepage437", 437},
    {u"asmo-708", 708},
    {u"dos-720", 720},
    {u"ibm737", 737},
    {u"ibm775", 775}, {u"cp500", 775},
    {u"ibm850", 850},
    {u"ibm852", 852}, {u"cp852", 852},
    {u"ibm857", 857},
    {u"ibm861", 861},
    {u"dos-862", 862},
    {u"ibm866", 866}, {u"cp866", 866},
    {u"ibm869", 869},
    {u"cp870", 870},
    {u"tis-620", 874}, {u"dos-874", 874}, {u"windows-874", 874}, {u"iso-8859-11", 874},
    {u"x-ebcdic-greekmodern", 875},
    {u"x-sjis", 932}, {u"shift-jis", 932}, {u"csshiftjis", 932}, {u"x-ms-cp932", 932},
    {u"shift_jis", 932}, {u"ms_kanji", 932}, {u"cswindows31j", 932},
    {u"cn-gb", 936}, {u"gbk", 936}, {u"csgb2312", 936}, {u"gb_2312-80", 936}, {u"gb231280", 936},
    {u"gb2312-80", 936}, {u"gb2312", 936}, {u"csiso58gb231280", 936}, {u"csgb231280", 936},
    {u"chinese", 936}, {u"iso-ir-58", 936},
    {u"ksc_5601", 949}, {u"korean", 949}, {u"iso-ir-149", 949}, {u"csksc56011987", 949},
    {u"ksc5601", 949}, {u"ks_c_5601-1987", 949}, {u"ks_c_5601-1989", 949}, {u"ks_c_5601", 949},
    {u"ks_c_5601_1987", 949}, {u"euc-kr", 949},
    {u"cn-big5", 950}, {u"big5", 950}, {u"x-x-big5", 950}, {u"csbig5", 950},
    {u"cp1026", 1026},
    {u"x-ebcdic-cp-us-euro", 1140},
    {u"x-ebcdic-denmarknorway-euro", 1142},
    {u"x-ebcdic-france", 1143}, {u"x-ebcdic-germany-euro", 1143},
    {u"x-ebcdic-finlandsweden-euro", 1143},
    {u"x-ebcdic-italy-euro", 1144},
    {u"x-ebcdic-spain-euro", 1145},
    {u"x-ebcdic-uk-euro", 1146},
    {u"x-ebcdic-france-euro", 1147},
    {u"x-ebcdic-international-euro", 1148},
    {u"x-ebcdic-icelandic-euro", 1149},
    {u"utf-16", 1200}, {u"unicode", 1200},
    {u"unicodefffe", 1201},
    {u"windows-1250", 1250}, {u"x-cp1250", 1250},
    {u"windows-1251", 1251}, {u"x-cp1251", 1251},
    {u"us", 1252}, {u"iso-ir-6", 1252}, {u"windows-1252", 1252}, {u"x-ansi", 1252},
    {u"windows-1253", 1253},
    {u"windows-1254", 1254},
    {u"windows-1255", 1255}, {u"iso_8859-8-i", 1255},
    {u"cp1256", 1256}, {u"windows-1256", 1256},
    {u"windows-1257", 1257},
    {u"windows-1258", 1258},
    {u"johab", 1361},
    {u"macintosh", 10000},
    {u"x-mac-japanese", 10001},
    {u"x-mac-chinesetrad", 10002},
    {u"x-mac-korean", 10003},
    {u"x-mac-arabic", 10004},
    {u"x-mac-hebrew", 10005},
    {u"x-mac-greek", 10006},
    {u"x-mac-cyrillic", 10007},
    {u"x-mac-chinesesimp", 10008},
    {u"x-mac-ce", 10029},
    {u"x-mac-icelandic", 10079},
    {u"x-mac-turkish", 10081},
    {u"x-chinese-cns", 20000},
    {u"x-chinese-eten", 20002},
    {u"x-ia5", 20105},
    {u"x-ia5-german", 20106},
    {u"x-ia5-swedish", 20107},
    {u"x-ia5-norwegian", 20108},
    {u"ansi_x3.4-1968", 20127}, {u"ansi_x3.4-1986", 20127}, {u"iso646-us", 20127}, {u"ibm367", 20127},
    {u"iso-ir-6us", 20127}, {u"iso_646.irv:1991", 20127}, {u"us-ascii", 20127}, {u"ascii", 20127},
    {u"cp367", 20127}, {u"csascii", 20127},
    {u"x-ebcdic-germany", 20273},
    {u"x-ebcdic-denmarknorway", 20277},
    {u"x-ebcdic-finlandsweden", 20278},
    {u"x-ebcdic-italy", 20280},
    {u"x-ebcdic-spain", 20284},
    {u"x-ebcdic-uk", 20285},
    {u"x-ebcdic-japanesekatakana", 20290},
    {u"x-ebcdic-greek", 20423},
    {u"x-ebcdic-hebrew", 20424},
    {u"x-ebcdic-koreanextended", 20833},
    {u"x-ebcdic-thai", 20838},
    {u"koi", 20866}, {u"koi8r", 20866}, {u"koi8", 20866}, {u"koi8-r", 20866}, {u"cskoi8r", 20866},
    {u"x-ebcdic-icelandic", 20873},
    {u"x-ebcdic-cyrillicrussian", 20880},
    {u"x-ebcdic-turkish", 20905},
    {u"x-ebcdic-cyrillicserbianbulgarian", 21025},
    {u"koi8-ru", 21866}, {u"koi8-u", 21866},
    {u"l1", 28591}, {u"ibm819", 28591}, {u"iso-ir-100", 28591}, {u"iso8859-1", 28591},
    {u"cp819", 28591}, {u"iso-8859-1", 28591}, {u"iso_8859-1:1987", 28591}, {u"latin1", 28591},
    {u"iso_8859-1", 28591},
    {u"l2", 28592}, {u"iso-ir-101", 28592}, {u"iso8859-2", 28592}, {u"csisolatin2", 28592},
    {u"iso-8859-2", 28592}, {u"iso_8859-2:1987", 28592}, {u"latin2", 28592}, {u"iso_8859-2", 28592},
    {u"l3", 28593}, {u"iso-ir-109", 28593}, {u"iso-8859-3", 28593}, {u"csiso", 28593},
    {u"iso_8859-3:1988", 28593}, {u"latin3", 28593}, {u"iso_8859-3", 28593},
    {u"l4", 28594}, {u"iso-ir-110", 28594}, {u"csisolatin4", 28594}, {u"iso-8859-4", 28594},
    {u"iso_8859-4:1988", 28594}, {u"latin4", 28594}, {u"iso_8859-4", 28594},
    {u"l5", 28595}, {u"iso-ir-144", 28595}, {u"csisolatin5", 28595}, {u"iso-8859-5", 28595},
    {u"cyrillic", 28595}, {u"iso_8859-5:1988", 28595}, {u"csisolatincyrillic", 28595},
    {u"iso_8859-5", 28595},
    {u"ecma-114", 28596}, {u"arabic", 28596}, {u"csisolatinarabic", 28596}, {u"iso-ir-127", 28596},
    {u"iso-8859-6", 28596}, {u"iso_8859-6:1987", 28596}, {u"iso_8859-6", 28596},
    {u"ecma-118", 28597}, {u"iso-ir-126", 28597}, {u"greek", 28597}, {u"elot_928", 28597},
    {u"iso-8859-7", 28597}, {u"csisolatingreek", 28597}, {u"iso_8859-7:1987", 28597},
    {u"greek8", 28597}, {u"iso_8859-7", 28597},
    {u"hebrew", 28598}, {u"iso-ir-138", 28598}, {u"visual", 28598}, {u"csisolatinhebrew", 28598},
    {u"iso-8859-8", 28598}, {u"iso_8859-8:1988", 28598}, {u"iso_8859-8", 28598},
    {u"iso_8859-9", 28599}, {u"iso-ir-148", 28599}, {u"iso-8859-9", 28599},
    {u"iso_8859-9:1989", 28599}, {u"latin5", 28599},
    {u"l9", 28605}, {u"iso_8859-15", 28605}, {u"latin9", 28605}, {u"iso-8859-15", 28605},
    {u"x-europa", 29001},
    {u"iso-8859-8-i", 38598}, {u"logical", 38598},
    {u"iso-2022-jp", 50220},
    {u"_iso-2022-jp", 50221}, {u"csiso2022jp", 50221},
    {u"_iso-2022-jp$sio", 50222},
    {u"csiso2022kr", 50225}, {u"iso-2022-kr", 50225},
    {u"x-ebcdic-japaneseandkana", 50930},
    {u"x-ebcdic-japaneseanduscanada", 50933}, {u"x-ebcdic-koreanandkoreanextended", 50933},
    {u"x-ebcdic-simplifiedchinese", 50935},
    {u"x-ebcdic-traditionalchinese", 50937},
    {u"x-ebcdic-japaneseandjapaneselatin", 50939},
    {u"x-euc", 51932}, {u"extended_unix_code_packed_format_for_japanese", 51932},
    {u"cseucpkdfmtjapanese", 51932}, {u"euc-jp", 51932}, {u"x-euc-jp", 51932},
    {u"euc-cn", 51936}, {u"x-euc-cn", 51936},
    {u"cseuckr", 51949},
    {u"hz-gb-2312", 52936},
    {u"x-iscii-de", 57002},
    {u"x-iscii-be", 57003},
    {u"x-iscii-ta", 57004},
    {u"x-iscii-te", 57005},
    {u"x-iscii-as", 57006},
    {u"x-iscii-or", 57007},
    {u"x-iscii-ka", 57008},
    {u"x-iscii-ma", 57009},
    {u"x-iscii-gu", 57010},
    {u"x-iscii-pa", 57011},
    {u"unicode-1-1-utf-7", 65000}, {u"x-unicode-2-0-utf-7", 65000}, {u"csunicode11utf7", 65000},
    {u"utf-7", 65000},
    {u"unicode-1-1-utf-8", 65001}, {u"unicode-2-0-utf-8", 65001}, {u"x-unicode-2-0-utf-8", 65001},
    {u"utf-8", 65001},
}};

constinit const HashedNameTable<kCharsetNameCount, kCharsetBuckets> kCharsets{kCharsetList};

}  // namespace

std::span<const NamedValue> CharsetNames() {
    return kCharsets.Entries();
}

std::optional<std::uint32_t> CodePageForCharset(std::u16string_view name) {
    if (name.empty())
        return 0;
    if (name.substr(0, 6) == u"UTF-32")
        return kCodePageUtf32;
    if (name.size() >= 100)
        return std::nullopt;
    std::u16string lower(name);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
    for (const NamedValue& e : kCharsets.Bucket(kCharsets.BucketOf(lower)))
        if (e.name == lower)
            return e.value;
    return std::nullopt;
}
