#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"

namespace tessaly {

class FieldContainer;

// One line of the library's call log "calls.log" beside it: a JSON object per call, e.g.
//   {"obj":"login","slot":8,"call":"Login","account":"10001","credentialType":2,
//    "credential":{"hex":"..."},"extra":{"dataProxyData":{"cProxy_Type":0}},"hr":0}
// and per answer delivered: {"obj":"event","code":6528,"container":{...}}.
// Container fields appear by name: numbers and booleans as JSON values, texts as strings,
// byte buffers as {"hex":"..."}, nested containers as objects, lists as arrays.
class CallLog {
public:
    CallLog(const char* object, int slot, const char* call);
    ~CallLog();   // writes the line
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    void Number(const char* name, uint32_t value);
    void Signed(const char* name, int32_t value);
    void Text(const char* name, BSTR value);
    void Text(const char* name, const std::wstring& value);
    void Bytes(const char* name, const std::vector<uint8_t>& value);
    void Buffer(const char* name, ISSOByteBuffer* value);
    void Container(const char* name, ISSOFieldContainer* value);
    void Container(const char* name, const FieldContainer& value);
    void List(const char* name, ISSOList* value);
    void Result(HRESULT hr) { Signed("hr", hr); }

    static std::wstring Path();

private:
    void Key(const char* name) { w_.Key(name); }

    rapidjson::StringBuffer out_;
    rapidjson::Writer<rapidjson::StringBuffer> w_;
};

// Runs the body of a logged COM method: one call-log line with what the body adds to it and the
// result it returns; no exception crosses the interface.
template <class F>
HRESULT Logged(const char* object, int slot, const char* call, F&& body) noexcept
{
    return Guarded([&] {
        CallLog log(object, slot, call);
        const HRESULT hr = body(log);
        log.Result(hr);
        return hr;
    });
}

} // namespace tessaly
