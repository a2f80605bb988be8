#include "reg_helpers.h"
#include "results.h"
#include "text.h"

namespace fw {

int ReadRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* buf, uint32_t cap) {
    uint32_t size = cap;
    return QueryRegValue(root, subkey, name, buf, &size, nullptr) != RegQuery::Failed ? kDone : kFailed;
}

uint32_t ReadRegValueSize(RegRoot root, const char16_t* subkey, const char16_t* name) {
    uint32_t size = 0;
    return QueryRegValue(root, subkey, name, nullptr, &size, nullptr) == RegQuery::Ok ? size : 0xFFFFFFFFu;
}

int WriteRegString(RegRoot root, const char16_t* subkey, const char16_t* name, const char16_t* text) {
    if (!text) text = u"";
    uint32_t size = static_cast<uint32_t>((TextLen(text) + 1) * sizeof(char16_t));
    return SetRegValue(root, subkey, name, kRegSz, text, size) ? kDone : kFailed;
}

int WriteRegBinary(RegRoot root, const char16_t* subkey, const char16_t* name, const void* data, uint32_t size) {
    return SetRegValue(root, subkey, name, kRegBinary, data, size) ? kDone : kFailed;
}

int WriteRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t value) {
    return SetRegValue(root, subkey, name, kRegDword, &value, sizeof value) ? kDone : kFailed;
}

int ReadRegText(RegRoot root, const char16_t* subkey, const char16_t* name, char16_t* buf, uint32_t cap) {
    if (!buf || cap < sizeof(char16_t)) return kFailed;
    uint32_t size = cap;
    uint32_t type = 0;
    if (QueryRegValue(root, subkey, name, buf, &size, &type) != RegQuery::Ok) return kFailed;
    if (type != kRegSz && type != kRegExpandSz) return kFailed;
    if (size > cap) return kFailed;
    if (size < sizeof(char16_t)) {  // an empty value is an empty text
        buf[0] = 0;
        return kDone;
    }
    return TextLenBounded(buf, size / sizeof(char16_t)) < size / sizeof(char16_t) ? kDone : kFailed;
}

int ReadRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t* value) {
    uint32_t data = 0;
    uint32_t size = sizeof data;
    uint32_t type = 0;
    if (QueryRegValue(root, subkey, name, &data, &size, &type) != RegQuery::Ok) return kFailed;
    if (type != kRegDword || size != sizeof data) return kFailed;
    *value = data;
    return kDone;
}

}  // namespace fw
