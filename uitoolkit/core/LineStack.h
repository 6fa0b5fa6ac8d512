#pragma once
// A stack that can be put back to the state it had at a mark. Marked-up text reads each line
// twice (measure, then draw) and starts the second reading from the line's first state; with
// unbalanced tags a stack may hold thousands of entries, so copying it at every line would make
// the cost grow with the square of the text. This one remembers only what a line took off below
// the mark: rewinding costs what the line changed.
#include <cstddef>
#include <vector>

namespace SkinUI {

template <class T>
class CLineStack {
public:
    bool empty() const { return m_items.empty(); }
    const T& back() const { return m_items.back(); }
    void push_back(const T& item) { m_items.push_back(item); }
    void pop_back()
    {
        if (m_items.size() <= m_marked) {
            // An entry the mark holds: kept for the rewind.
            m_taken.push_back(m_items.back());
            m_marked = m_items.size() - 1;
        }
        m_items.pop_back();
    }

    // The state to come back to.
    void Mark()
    {
        m_marked = m_items.size();
        m_taken.clear();
    }
    // Back to the state at the last mark, which stays the mark.
    void Rewind()
    {
        m_items.resize(m_marked);
        for (auto it = m_taken.rbegin(); it != m_taken.rend(); ++it) m_items.push_back(*it);
        Mark();
    }

private:
    std::vector<T> m_items;
    // Entries below this index are the mark's own and untouched since.
    size_t m_marked = 0;
    // The mark's entries taken off since, the highest first.
    std::vector<T> m_taken;
};

} // namespace SkinUI
