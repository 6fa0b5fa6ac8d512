#include "login/windows/LoginFailureText.h"

#include <cwchar>
#include <stdexcept>

#include "foundation/StringUtil.h"

namespace {

constexpr wchar_t kFormatted[] = L"非常抱歉，登录失败。请检查您的网络和防火墙设置，或稍后重试。错误码：%d";
constexpr wchar_t kDamagedInstallText[] = L"无法完成验证，可能是盒子的文件已损坏，您需要重新安装盒子。";

std::wstring Formatted(int32_t code)
{
    wchar_t buf[LoginFailureText::kMaxFormattedUnits + 1] = {};
    swprintf(buf, LoginFailureText::kMaxFormattedUnits + 1, kFormatted, static_cast<int>(code));
    return buf;
}

} // namespace

LoginFailureText LoginFailureText::For(int32_t code, const wchar_t* reason)
{
    LoginFailureText out;
    if (code == kNetworkError) {
        out.text = Formatted(code);
        return out;
    }
    if (reason != nullptr && reason[0] != L'\0') {
        out.text = reason;
        StripLineBreaks(out.text);
        try {
            out.reportText = WideToUtf8(out.text);
        } catch (const std::exception&) {
            out.reportText.clear();  // the page still shows the reason
        }
        return out;
    }
    out.text = code == kDamagedInstall ? std::wstring(kDamagedInstallText) : Formatted(code);
    return out;
}
