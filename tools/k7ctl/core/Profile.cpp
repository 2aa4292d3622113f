#include "Profile.h"

#include "xml/Utf8Text.h"

std::string KeyName(const ButtonPosRecord& record) { return Utf8FromUtf16(record.name); }
