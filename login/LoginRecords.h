#pragma once

#include <cstddef>
#include <cstdint>

// The records of one successful login, filled by the single-sign-on provider and kept per
// account by the login controller. Everything not written stays zero.

// The server login record: the account's tickets and key.
struct _tagKwiSERVERLOGININFO {
    static constexpr size_t kTicketKeyBytes = 16;
    static constexpr size_t kServiceTicketBytes = 128;
    static constexpr size_t kWebTicketBytes = 134;

    uint16_t size;                                   // 312
    uint64_t accountNumber;
    uint8_t ticketKey[kTicketKeyBytes];              // "buf16bytesGTKey_ST"
    uint8_t reserved[12];
    uint32_t accountFlags;                           // "dwSSO_Account_dwUinFlag"
    uint8_t serviceTicketLength;
    uint8_t serviceTicket[kServiceTicketBytes];      // "bufServiceTicket"
    uint8_t webTicketLength;
    uint8_t webTicket[kWebTicketBytes];              // "bufServiceTicketHttp", to the record's end
};

static_assert(sizeof(_tagKwiSERVERLOGININFO) == 312);
static_assert(offsetof(_tagKwiSERVERLOGININFO, accountNumber) == 8);
static_assert(offsetof(_tagKwiSERVERLOGININFO, ticketKey) == 16);
static_assert(offsetof(_tagKwiSERVERLOGININFO, reserved) == 32);
static_assert(offsetof(_tagKwiSERVERLOGININFO, accountFlags) == 44);
static_assert(offsetof(_tagKwiSERVERLOGININFO, serviceTicketLength) == 48);
static_assert(offsetof(_tagKwiSERVERLOGININFO, serviceTicket) == 49);
static_assert(offsetof(_tagKwiSERVERLOGININFO, webTicketLength) == 177);
static_assert(offsetof(_tagKwiSERVERLOGININFO, webTicket) == 178);

// The base user record: who signed in.
struct _tagKwiBASEUSERINFO {
    static constexpr size_t kNickNameUnits = 40;    // at most 39 characters and a zero

    uint16_t size;                                   // 104
    uint64_t accountNumber;
    uint16_t faceIndex;                              // "wSSO_Account_wFaceIndex"
    uint8_t age;                                     // "cSSO_Account_cAge"
    uint8_t gender;                                  // "cSSO_Account_cGender"
    uint8_t nickNameLength;                          // characters, without the zero
    uint8_t reserved;
    wchar_t nickName[kNickNameUnits];                // "strSSO_Account_strNickName"
};

static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(_tagKwiBASEUSERINFO) == 104);
static_assert(offsetof(_tagKwiBASEUSERINFO, accountNumber) == 8);
static_assert(offsetof(_tagKwiBASEUSERINFO, faceIndex) == 16);
static_assert(offsetof(_tagKwiBASEUSERINFO, age) == 18);
static_assert(offsetof(_tagKwiBASEUSERINFO, gender) == 19);
static_assert(offsetof(_tagKwiBASEUSERINFO, nickNameLength) == 20);
static_assert(offsetof(_tagKwiBASEUSERINFO, reserved) == 21);
static_assert(offsetof(_tagKwiBASEUSERINFO, nickName) == 22);
