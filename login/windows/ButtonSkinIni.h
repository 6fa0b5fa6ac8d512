#pragma once
// The frame's caption buttons as the skin describes them in "skin\Button.ini" of the game-data
// folder: one section per button ("MinSize", "Close"; others are ignored), in file order.
//
//   [Close]
//   Pos=300,8
//   NormalImage=skin\close.png        ; relative to the game-data folder
//   NormalImageSource=0,0,20,20       ; left,top,right,bottom; "0x" hex and leading-0 octal too
//   HotImage=skin\close.png
//   HotImageSource=20,0,40,20
//   PushedImage=skin\close.png
//   PushedImageSource=40,0,60,20
//   ToolTip=Close
#include <memory>
#include <string>
#include <vector>

#include "login/windows/FrameButton.h"

// The buttons of `directory` (ending in a backslash); empty without Button.ini or its sections.
// A key whose value is empty or holds a number out of range leaves its field as it was.
std::vector<std::unique_ptr<FrameButton>> LoadButtonSkinIni(const std::wstring& directory);
