#pragma once
// PVAAccountRecord: one account of the quick-login page, as a row shows and signs in with it.
#include <cstdint>
#include <string>

struct PVAAccountRecord {
    uint64_t accountNumber = 0;
    uint32_t value = 0;        // carried along from the sign-in library's entry
    std::wstring accountText;  // what the quick login signs in with
    std::wstring faceImage;    // the face picture's file
    std::wstring nickName;
};
