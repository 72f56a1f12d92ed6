// Fake advapi32: a registry of keys by path, roots that may be read-only,
// and a count of the keys left open.
#pragma once
#include <map>
#include <set>

#include "platform/advapi32.h"

namespace orv::fake {

struct RegValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  friend bool operator==(const RegValue&, const RegValue&) = default;
};

class FakeAdvapi32 : public Advapi32 {
 public:
  // Key path (the program's, prefixed "HKLM\" or "HKCU\") -> value name -> value.
  std::map<std::wstring, std::map<std::wstring, RegValue>> registry;
  std::set<std::wstring> read_only_roots;  // e.g. "HKLM"
  int open_keys = 0;
  long set_value_error = kErrorSuccess;  // what every RegSetValueExW answers

  long RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring&, std::uint32_t,
                       std::uint32_t, Hkey* result, std::uint32_t* disposition) override {
    const std::wstring path = KeyPath(root, subkey);
    if (read_only_roots.count(path.substr(0, 4))) return 5;  // access denied
    if (disposition) *disposition = registry.count(path) ? 2 : kRegCreatedNewKey;
    registry[path];
    if (result) *result = OpenKey(path);
    return kErrorSuccess;
  }
  long RegFlushKey(Hkey key) override { return keys_.count(key) ? kErrorSuccess : 6; }
  long RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                     Hkey* result) override {
    const std::wstring path = KeyPath(root, subkey);
    if (!registry.count(path)) return 2;
    if (access != kKeyRead && read_only_roots.count(path.substr(0, 4))) return 5;
    if (result) *result = OpenKey(path);
    return kErrorSuccess;
  }
  long RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override {
    if (!keys_.count(key)) return 6;
    if (set_value_error != kErrorSuccess) return set_value_error;
    return registry[keys_[key]][name] = RegValue{type, data}, kErrorSuccess;
  }
  long RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override {
    if (!keys_.count(key)) return 6;
    auto& values = registry[keys_[key]];
    const auto v = values.find(name);
    if (v == values.end()) return 2;
    if (type) *type = v->second.type;
    if (data) *data = v->second.data;
    return kErrorSuccess;
  }
  long RegCloseKey(Hkey key) override { return keys_.erase(key) ? --open_keys, kErrorSuccess : 6; }

 private:
  // The program names its keys with a trailing backslash.
  static std::wstring KeyPath(Hkey root, std::wstring s) {
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return (root == kHkeyLocalMachine ? L"HKLM\\" : L"HKCU\\") + s;
  }
  Hkey OpenKey(const std::wstring& path) {
    keys_[next_key_] = path;
    ++open_keys;
    return next_key_++;
  }

  std::intptr_t next_key_ = 0x30000000;
  std::map<Hkey, std::wstring> keys_;
};

}  // namespace orv::fake
