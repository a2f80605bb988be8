#include "reg_helpers.h"
#include "text.h"

namespace fw {

int ReadRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* buf, uint32_t cap) {
    uint32_t size = cap;
    return QueryRegValue(root, subkey, name, buf, &size, nullptr) != RegQuery::Failed ? 1 : 0;
}

uint32_t ReadRegValueSize(RegRoot root, const char16_t* subkey, const char16_t* name) {
    uint32_t size = 0;
    return QueryRegValue(root, subkey, name, nullptr, &size, nullptr) == RegQuery::Ok ? size : 0xFFFFFFFFu;
}

int WriteRegString(RegRoot root, const char16_t* subkey, const char16_t* name, const char16_t* text) {
    if (!text) text = u"";
    uint32_t size = static_cast<uint32_t>((TextLen(text) + 1) * sizeof(char16_t));
    return SetRegValue(root, subkey, name, kRegSz, text, size) ? 1 : 0;
}

int WriteRegBinary(RegRoot root, const char16_t* subkey, const char16_t* name, const void* data, uint32_t size) {
    return SetRegValue(root, subkey, name, kRegBinary, data, size) ? 1 : 0;
}

int WriteRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t value) {
    return SetRegValue(root, subkey, name, kRegDword, &value, sizeof value) ? 1 : 0;
}

int ReadRegText(RegRoot root, const char16_t* subkey, const char16_t* name, char16_t* buf, uint32_t cap) {
    if (!buf || cap < sizeof(char16_t)) return 0;
    uint32_t size = cap;
    uint32_t type = 0;
    if (QueryRegValue(root, subkey, name, buf, &size, &type) != RegQuery::Ok) return 0;
    if (type != kRegSz && type != kRegExpandSz) return 0;
    if (size > cap) return 0;
    if (size < sizeof(char16_t)) {  // an empty value is an empty text
        buf[0] = 0;
        return 1;
    }
    return TextLenBounded(buf, size / sizeof(char16_t)) < size / sizeof(char16_t) ? 1 : 0;
}

int ReadRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t* value) {
    uint32_t data = 0;
    uint32_t size = sizeof data;
    uint32_t type = 0;
    if (QueryRegValue(root, subkey, name, &data, &size, &type) != RegQuery::Ok) return 0;
    if (type != kRegDword || size != sizeof data) return 0;
    *value = data;
    return 1;
}

}  // namespace fw
