#pragma once
// Points this executable's import of one system function elsewhere while the patch lives; the
// product code linked into the test calls through the same import table. For counting or
// recording calls the product makes to the system:
//
//   static int g_opens = 0;
//   HANDLE WINAPI CountingCreateFileW(...) { ++g_opens; return ::CreateFileW(...); }
//   kit::ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountingCreateFileW));
//   ASSERT_TRUE(patch.Active());
//
// Inside the replacement, call the original through Original() (the import now leads back to
// the replacement itself).
namespace kit {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Whether the executable imports the function and the import now leads to the replacement.
    bool Active() const { return m_slot != nullptr; }
    // The system's own function.
    void* Original() const { return m_original; }

private:
    void Write(void* value);

    void** m_slot = nullptr;
    void* m_original = nullptr;
};

} // namespace kit
