#pragma once

#include "login/ComPtr.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

class FieldContainer;
class FieldList;

// What the library keeps between runs, in "state.dat" beside it (one encoded container):
// the service's account store ("store"), the service's settings ("serviceData") and the
// accounts that signed in, newest first ("signedIn", their numbers as texts).
class StandInState {
public:
    static std::wstring Path();

    // A missing or damaged file gives an empty state.
    void Load();
    bool Save() const;

    ComPtr<FieldList> store;              // never null after Load
    ComPtr<FieldContainer> serviceData;   // null until the service's settings were stored
    std::vector<uint32_t> signedIn;

    // Moves the account to the front; true when it was not there before.
    bool MarkSignedIn(uint32_t uin);
    bool IsSignedIn(uint32_t uin) const;
};

} // namespace tessaly
