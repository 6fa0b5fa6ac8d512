#pragma once
// The benchmarks' login window: a login-sized skin built from XML with the toolkit's layouts,
// labels, buttons and options over seven generated PNG pictures. Its root is a
// "TimedVerticalLayout", which a benchmark's builder callback makes.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/FileBytes.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"

namespace bench {

inline constexpr int kLoginWidth = 560;
inline constexpr int kLoginHeight = 400;

// A picture with the grain of a real one (a gradient with noise, so that it does not compress
// to nothing), opaque or with rounded, soft corners.
inline std::string Picture(int width, int height, uint32_t seed, bool roundCorners)
{
    std::vector<uint32_t> px(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t noise = (seed >> 16) & 15;
            const uint32_t r = (x * 255 / width + noise) & 0xFF;
            const uint32_t g = (y * 255 / height + noise) & 0xFF;
            const uint32_t b = ((x + y) * 2 + noise) & 0xFF;
            uint32_t a = 255;
            if (roundCorners) {
                const int dx = std::min(x, width - 1 - x), dy = std::min(y, height - 1 - y);
                if (dx < 3 && dy < 3)
                    a = static_cast<uint32_t>(std::min(255, (dx + dy) * 60));
            }
            px[static_cast<size_t>(y) * width + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return kit::EncodePng(width, height, px);
}

struct PictureFile {
    const wchar_t* name;
    int width, height;
    bool round;
};

inline const PictureFile kPictures[] = {
    {L"bg.png", kLoginWidth, kLoginHeight, false}, {L"banner.png", 188, 180, false},
    {L"logo.png", 24, 24, true},                   {L"sysbtn.png", 84, 56, true},
    {L"btn.png", 300, 36, true},                   {L"edit.png", 40, 30, true},
    {L"check.png", 45, 15, true},
};

// Writes the login skin's pictures into the folder.
inline void WriteLoginPictures(const kit::TempDir& dir)
{
    for (const PictureFile& picture : kPictures)
        kit::WriteBytesToFile(dir.File(picture.name), Picture(picture.width, picture.height, 7, picture.round));
}

// The login window: a title bar, a side banner, the password page (a hidden quick-login page and
// a hidden failure page beside it) and a footer; 55 controls, 44 of them shown.
inline const wchar_t kLoginSkin[] = LR"(<Window size="560,400" caption="0,0,0,32" roundcorner="4,4">
<Font name="Tahoma" size="12"/>
<Font name="Tahoma" size="14" bold="true"/>
<Default name="Button" value="textcolor=&quot;#FF1060C0&quot; font=&quot;0&quot;"/>
<TimedVerticalLayout name="root" bkimage="file='bg.png'">
 <HorizontalLayout name="titleBar" height="32" inset="8,0,4,0">
  <Control name="logo" width="24" height="24" padding="0,4,0,0" bkimage="file='logo.png'"/>
  <Label name="title" text="Ombrel" font="1" textcolor="#FFFFFFFF" padding="8,0,0,0" width="200"/>
  <Control/>
  <Button name="btnMinisize" width="28" height="28" normalimage="file='sysbtn.png' source='0,0,28,28'" hotimage="file='sysbtn.png' source='28,0,56,28'" pushedimage="file='sysbtn.png' source='56,0,84,28'"/>
  <Button name="btnClose" width="28" height="28" normalimage="file='sysbtn.png' source='0,28,28,56'" hotimage="file='sysbtn.png' source='28,28,56,56'" pushedimage="file='sysbtn.png' source='56,28,84,56'"/>
 </HorizontalLayout>
 <HorizontalLayout name="body">
  <VerticalLayout name="side" width="220" inset="16,8,16,8" childpadding="4">
   <Control name="banner" height="180" bkimage="file='banner.png'"/>
   <Label text="Welcome back" height="20" font="1"/>
   <Label text="Sign in to play with your friends" height="18"/>
   <Label text="News: the spring season has begun" height="18" textcolor="#FF606060"/>
   <HorizontalLayout height="24">
    <Button name="btnOfficialWebsite" text="Website" width="90"/>
    <Button name="btnGameForum" text="Forum" width="90"/>
   </HorizontalLayout>
   <Control/>
  </VerticalLayout>
  <VerticalLayout name="LoginContainter" inset="20,12,20,12">
   <VerticalLayout name="PWDLogin" childpadding="6">
    <Label text="Account" height="18"/>
    <Label name="accountFrame" height="30" text="player@example.net" textpadding="8,0,8,0" bkimage="file='edit.png' corner='4,4,4,4'"/>
    <Label text="Password" height="18"/>
    <Label name="pwdFrame" height="30" text="********" textpadding="8,0,8,0" bkimage="file='edit.png' corner='4,4,4,4'"/>
    <HorizontalLayout height="18">
     <Option name="btnSavePWD" text="Remember me" width="120" textpadding="20,0,0,0" selected="true" normalimage="file='check.png' source='0,0,15,15' dest='0,1,15,16'" selectedimage="file='check.png' source='15,0,30,15' dest='0,1,15,16'"/>
     <Option name="btnAutoLogin" text="Sign in automatically" width="160" textpadding="20,0,0,0" normalimage="file='check.png' source='0,0,15,15' dest='0,1,15,16'" selectedimage="file='check.png' source='15,0,30,15' dest='0,1,15,16'"/>
    </HorizontalLayout>
    <Label name="lblError" height="16" textcolor="#FFE02020"/>
    <Button name="loginBtn" height="36" text="Sign in" textcolor="#FFFFFFFF" font="1" normalimage="file='btn.png' source='0,0,100,36' corner='6,6,6,6'" hotimage="file='btn.png' source='100,0,200,36' corner='6,6,6,6'" pushedimage="file='btn.png' source='200,0,300,36' corner='6,6,6,6'"/>
    <HorizontalLayout height="18">
     <Option name="checkboxAgreeLicense" width="18" normalimage="file='check.png' source='0,0,15,15' dest='0,1,15,16'" selectedimage="file='check.png' source='15,0,30,15' dest='0,1,15,16'"/>
     <Label text="I agree to the" width="86"/>
     <Button name="btnAgreeLicense" text="user agreement" width="100"/>
     <Label text="and" width="28"/>
     <Button name="btnAgreeLicense1_1" text="privacy policy" width="96"/>
    </HorizontalLayout>
    <HorizontalLayout height="18">
     <Button name="btnRegisterAccount" text="Create an account" width="120"/>
     <Control/>
     <Button name="btnRetrieveAccount" text="Forgot password?" width="120"/>
    </HorizontalLayout>
    <Control/>
   </VerticalLayout>
   <VerticalLayout name="PVALogin" visible="false">
    <Label name="pvaTitle" text="Accounts on this computer" height="20"/>
    <Control name="ListPVA" height="120"/>
    <Button name="btnPVALogin" height="36" text="Sign in" normalimage="file='btn.png' source='0,0,100,36' corner='6,6,6,6'"/>
    <Button name="btnUsedAccount" height="20" text="Use another account"/>
    <Option name="checkboxAgreeLicense2" width="18"/>
   </VerticalLayout>
   <VerticalLayout name="LoginErrorContainer" visible="false">
    <Label name="redtErrorInfo" height="60"/>
    <Button name="btnErrorOK" height="30" text="OK"/>
   </VerticalLayout>
  </VerticalLayout>
 </HorizontalLayout>
 <HorizontalLayout name="footer" height="28" inset="12,4,12,4" bkcolor="#80000000">
  <Button name="btnChargingSystem" text="Top up" width="70"/>
  <Button name="btnCustomerService" text="Help" width="70"/>
  <Control/>
  <Label name="version" text="1.0.0" width="60" textcolor="#FFFFFFFF"/>
 </HorizontalLayout>
</TimedVerticalLayout>
</Window>)";

} // namespace bench
