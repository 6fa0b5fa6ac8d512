// The linear placement rule along either axis: each case is written for a horizontal layout, and
// the vertical layout must place its transpose (x and y exchanged in every size, side list and
// rectangle) transposed. Expected rectangles were worked out by hand from the rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kit/XmlHost.h"

using namespace kit;

namespace {

using Attribute = std::pair<std::wstring, std::wstring>;

// "l,t,r,b" given back as "t,l,b,r".
std::wstring TransposedSides(const std::wstring& sides)
{
    int v[4] = {0, 0, 0, 0};
    std::swscanf(sides.c_str(), L"%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]);
    return std::to_wstring(v[1]) + L"," + std::to_wstring(v[0]) + L"," + std::to_wstring(v[3]) + L"," +
           std::to_wstring(v[2]);
}

Attribute Transposed(const Attribute& a)
{
    static const std::map<std::wstring, std::wstring> swapped = {
        {L"width", L"height"},       {L"height", L"width"},       {L"minwidth", L"minheight"},
        {L"minheight", L"minwidth"}, {L"maxwidth", L"maxheight"}, {L"maxheight", L"maxwidth"}};
    if (const auto it = swapped.find(a.first); it != swapped.end())
        return {it->second, a.second};
    if (a.first == L"padding" || a.first == L"inset" || a.first == L"pos")
        return {a.first, TransposedSides(a.second)};
    return a;
}

std::wstring Element(const std::wstring& tag, const std::vector<Attribute>& attributes, bool transpose)
{
    std::wstring xml = L"<" + tag;
    for (const Attribute& a : attributes) {
        const Attribute t = transpose ? Transposed(a) : a;
        xml += L" " + t.first + L"=\"" + t.second + L"\"";
    }
    return xml;
}

// Rectangles "l,t,r,b l,t,r,b ..." each transposed.
std::string TransposedRects(const std::string& rects)
{
    std::istringstream in(rects);
    std::string out, rect;
    while (in >> rect) {
        const std::wstring sides = TransposedSides(std::wstring(rect.begin(), rect.end()));
        if (!out.empty())
            out += ' ';
        out.append(sides.begin(), sides.end());
    }
    return out;
}

} // namespace

TEST(LinearLayout, OneTableAlongEitherAxis)
{
    const struct {
        std::vector<Attribute> layout;
        std::vector<std::vector<Attribute>> children;  // named c0, c1, ...
        int length, breadth;                           // of the layout, along and across
        const char* rects;                             // of c0, c1, ... in the horizontal layout
    } cases[] = {
        // 100 / 3 = 33; the last takes the remaining 34.
        {{}, {{}, {}, {}}, 100, 40, "0,0,33,40 33,0,66,40 66,0,100,40"},
        // Gaps of 5: (100 - 10) / 3 = 30 each.
        {{{L"childpadding", L"5"}}, {{}, {}, {}}, 100, 40, "0,0,30,40 35,0,65,40 70,0,100,40"},
        // Inner 180 x 100 at 10,10; the paddings along (4+6, 3+7) are fixed: (180 - 20) / 3 = 53;
        // the last gets 54 left - 20 of paddings still counted = 34. Across, the paddings come off.
        {{{L"inset", L"10,10,10,10"}},
         {{{L"padding", L"4,5,6,5"}}, {{L"padding", L"3,0,7,0"}}, {}},
         200, 120, "14,15,67,105 76,10,129,110 136,10,170,110"},
        // Fixed 10 raised to its minimum 30; share (100 - 30) / 3 = 23: c0 down to its maximum 20,
        // c1 up to 60 and then down to its smaller maximum 40, c3 the last 10.
        {{},
         {{{L"maxwidth", L"20"}}, {{L"minwidth", L"60"}, {L"maxwidth", L"40"}},
          {{L"width", L"10"}, {L"minwidth", L"30"}}, {}},
         100, 40, "0,0,20,40 20,0,60,40 60,0,90,40 90,0,100,40"},
        // Fixed content longer than the layout: the automatic share is 0, then the minimum.
        {{}, {{{L"width", L"150"}}, {{L"minwidth", L"5"}}}, 100, 40, "0,0,150,40 150,0,155,40"},
        // Across: a fixed size stays, limits apply, side paddings that leave less than nothing give 0.
        {{},
         {{{L"width", L"20"}, {L"height", L"30"}}, {{L"width", L"20"}, {L"maxheight", L"25"}},
          {{L"width", L"20"}, {L"padding", L"0,30,0,30"}}},
         60, 40, "0,0,20,30 20,0,40,25 40,30,60,30"},
        // Hidden children take nothing (no gap either), floating ones are placed on their own.
        {{{L"childpadding", L"10"}},
         {{}, {{L"visible", L"false"}}, {{L"float", L"true"}, {L"pos", L"5,6,25,27"}}, {}},
         100, 40, "0,0,45,40 0,0,0,0 5,6,25,27 55,0,100,40"},
    };
    for (const auto& c : cases) {
        for (const bool vertical : {false, true}) {
            const std::wstring tag = vertical ? L"VerticalLayout" : L"HorizontalLayout";
            std::wstring xml = L"<Window>" + Element(tag, c.layout, vertical) + L">";
            std::vector<std::wstring> names;
            for (std::vector<Attribute> child : c.children) {
                names.push_back(L"c" + std::to_wstring(names.size()));
                child.insert(child.begin(), {L"name", names.back()});
                xml += Element(L"Control", child, vertical) + L"/>";
            }
            xml += L"</" + tag + L"></Window>";
            SCOPED_TRACE(xml.c_str());
            XmlHost h;
            ASSERT_TRUE(h.Open(xml, vertical ? c.breadth : c.length, vertical ? c.length : c.breadth));
            std::vector<const wchar_t*> ids;
            for (const std::wstring& name : names)
                ids.push_back(name.c_str());
            EXPECT_EQ(h.Pos(ids), vertical ? TransposedRects(c.rects) : c.rects);
        }
    }
}
