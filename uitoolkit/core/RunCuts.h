#pragma once
// Where a run of text may be handed to the system in parts without changing what it draws.
//
// Text without right-to-left letters is laid out glyph after glyph, so it may be cut anywhere
// but inside a surrogate pair or before a combining mark. Text with right-to-left letters is
// reordered and shaped by the system over the whole string it is given, which costs it far more
// than the string's length on long strings, and its glyphs' widths are not the measured ones.
// Its safe cuts are before a left-to-right letter with no embedding or isolate control before
// it: there nothing is reordered or joined across the cut, and the text on each side resolves
// its directions the same way alone (the end of a left-to-right line counts as a left-to-right
// letter), so the parts drawn one after the other, each where the system left the one before,
// show what the whole run shows. The system shapes a part's first word differently when it
// holds a combining mark, so no cut is made before a word with one; a pair of brackets takes its
// direction from what it encloses, so no cut is made between the brackets of a pair; and
// combining marks of no script of their own (accents) change how the system places the text
// around them, so a run with one is not cut safely anywhere.
//
// Right-to-left text without a left-to-right letter for thousands of units has no safe cut;
// such a stretch, wider than any screen, is cut after a space all the same (else anywhere but
// inside a character), and each part is reordered on its own.
#include <windows.h>

#include <vector>

namespace SkinUI {

class CRunCuts {
public:
    CRunCuts(const wchar_t* text, int length);

    // Whether the run may be cut before unit i; the run's two ends always may.
    bool IsCut(int i) const;
    // The end of a part from `from` to at most `end` (a cut): the last cut at most `maxUnits` on,
    // else the first one after that within kMaxUncut units, else a forced cut within those.
    int PartEnd(int from, int end, int maxUnits) const;

    // The longest stretch handed to the system whole for want of a safe cut.
    static constexpr int kMaxUncut = 4096;
    // Whether the system reorders the run, placing its glyphs by their shaped widths.
    bool Reorders() const { return m_reorders; }

private:
    // Whether a cut before unit i keeps every character whole (no pair or mark split off).
    bool KeepsCharacters(int i) const;
    // Fills m_inBrackets.
    void MarkBracketPairs();

    const wchar_t* m_text;
    int m_length;
    bool m_reorders = false;  // the system reorders the run: it holds right-to-left text
    // Cuts of a reordered run fall before this unit: the first embedding, override or isolate
    // control, 0 when the run holds combining marks of no script (else the length).
    int m_cutsEnd = 0;
    std::vector<WORD> m_types;  // the units' direction classes (CT_CTYPE2)
    std::vector<WORD> m_marks;  // the units' mark classes (CT_CTYPE3)
    // Whether a combining mark follows within the unit's word (left-to-right letters and marks).
    std::vector<char> m_markAhead;
    // Whether a cut before the unit would fall between a pair of brackets.
    std::vector<char> m_inBrackets;
};

} // namespace SkinUI
