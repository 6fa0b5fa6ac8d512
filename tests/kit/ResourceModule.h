#pragma once
// A module with resources chosen by the test: a copy of the running test program with the
// resources added (BeginUpdateResource / UpdateResource), loaded as a data file.
//
//   kit::ResourceModule module(dir.File(L"res.dll"));
//   module.Add(L"PNG", 140, kit::EncodePng(...));
//   ASSERT_TRUE(module.Load());
//   FindResourceW(module.Handle(), MAKEINTRESOURCEW(140), L"PNG");
#include <windows.h>

#include <string>
#include <vector>

namespace kit {

class ResourceModule {
public:
    explicit ResourceModule(std::wstring path) : m_path(std::move(path)) {}
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    void Add(const std::wstring& type, int id, const std::string& bytes);
    // Writes the copy with every added resource and loads it; false on any failure.
    bool Load();
    HMODULE Handle() const { return m_module; }

private:
    struct Item {
        std::wstring type;
        int id;
        std::string bytes;
    };
    std::wstring m_path;
    std::vector<Item> m_items;
    HMODULE m_module = nullptr;
};

} // namespace kit
