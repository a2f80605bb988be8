#include "registry_mem.h"
#include <algorithm>
#include <cstring>
#include <map>

namespace fw::mem {
namespace {

struct Value {
    std::u16string name;  // as first written
    uint32_t type;
    std::vector<uint8_t> data;
};
struct Key {
    std::vector<Value> values;
};

std::u16string Lower(const char16_t* s) {
    std::u16string out = s ? s : u"";
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 0x20);
    return out;
}

std::u16string Path(RegRoot root, const char16_t* subkey) {
    return std::u16string(1, static_cast<char16_t>(u'0' + static_cast<int>(root))) + u"\\" + Lower(subkey);
}

std::map<std::u16string, Key> g_keys;
std::vector<Call> g_log;
bool g_failWrites = false;
std::u16string g_failName;

Value* Find(Key& key, const char16_t* name) {
    std::u16string n = Lower(name);
    for (auto& v : key.values)
        if (Lower(v.name.c_str()) == n) return &v;
    return nullptr;
}

}  // namespace

void Reset() {
    g_keys.clear();
    g_log.clear();
    g_failWrites = false;
    g_failName.clear();
}
const std::vector<Call>& Log() { return g_log; }
void ClearLog() { g_log.clear(); }
bool KeyExists(RegRoot root, const char16_t* subkey) { return g_keys.count(Path(root, subkey)) != 0; }

std::vector<std::u16string> ValueNames(RegRoot root, const char16_t* subkey) {
    std::vector<std::u16string> out;
    auto it = g_keys.find(Path(root, subkey));
    if (it != g_keys.end())
        for (auto& v : it->second.values) out.push_back(v.name);
    return out;
}

void FailWrites(const char16_t* name) {
    g_failWrites = true;
    g_failName = Lower(name);
}

}  // namespace fw::mem

namespace fw {
using namespace fw::mem;

RegQuery QueryRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* data,
                       uint32_t* size, uint32_t* type) {
    g_log.push_back({Call::Query, root, subkey ? subkey : u"", name ? name : u""});
    auto it = g_keys.find(Path(root, subkey));
    if (it == g_keys.end()) return RegQuery::Failed;
    Value* v = Find(it->second, name);
    if (!v) return RegQuery::Failed;
    uint32_t cap = size ? *size : 0;
    uint32_t have = static_cast<uint32_t>(v->data.size());
    if (type) *type = v->type;
    if (size) *size = have;
    if (!data) return RegQuery::Ok;
    if (have > cap) {
        // The platform leaves the buffer undefined: make any use of it visible.
        std::memset(data, 0xCD, cap);
        return RegQuery::MoreData;
    }
    if (have) std::memcpy(data, v->data.data(), have);
    return RegQuery::Ok;
}

extern "C" bool fw_SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                               const void* data, uint32_t size) {
    g_log.push_back({Call::Set, root, subkey ? subkey : u"", name ? name : u""});
    if (g_failWrites && (g_failName.empty() || g_failName == Lower(name))) return false;
    // Creating a key creates its parents, as RegCreateKeyExW does.
    std::u16string sub = subkey ? subkey : u"";
    for (size_t pos = sub.find(u'\\'); pos != std::u16string::npos; pos = sub.find(u'\\', pos + 1))
        g_keys[Path(root, sub.substr(0, pos).c_str())];
    Key& key = g_keys[Path(root, subkey)];
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> copy(bytes, bytes + (bytes ? size : 0));
    if (Value* v = Find(key, name)) {
        v->type = type;
        v->data = std::move(copy);
    } else {
        key.values.push_back({name ? name : u"", type, std::move(copy)});
    }
    return true;
}

bool DeleteRegTree(RegRoot root, const char16_t* subkey) {
    g_log.push_back({Call::DeleteTree, root, subkey ? subkey : u"", u""});
    std::u16string path = Path(root, subkey);
    bool found = false;
    for (auto it = g_keys.begin(); it != g_keys.end();) {
        if (it->first == path || it->first.compare(0, path.size() + 1, path + u"\\") == 0) {
            it = g_keys.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    return found;
}

bool DeleteRegValue(RegRoot root, const char16_t* subkey, const char16_t* name) {
    g_log.push_back({Call::DeleteValue, root, subkey ? subkey : u"", name ? name : u""});
    auto it = g_keys.find(Path(root, subkey));
    if (it == g_keys.end()) return false;
    auto& values = it->second.values;
    std::u16string n = Lower(name);
    auto v = std::find_if(values.begin(), values.end(), [&](const Value& x) { return Lower(x.name.c_str()) == n; });
    if (v == values.end()) return false;
    values.erase(v);
    return true;
}

}  // namespace fw
