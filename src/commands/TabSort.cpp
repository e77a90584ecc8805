#include "commands/TabSort.h"

#include "mainwin/TabWindow.h"
#include "store/SortKey.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace {

// Only a strict comparison swaps, which keeps equal keys in their order.
template<typename OutOfOrder>
void exchangeSort(std::vector<SortKey> &keys, OutOfOrder outOfOrder)
{
    const auto count = static_cast<int>(keys.size());
    for (int i = 1; i < count; ++i) {
        for (int j = count - 1; j >= i; --j) {
            auto &earlier = keys[static_cast<size_t>(j - 1)];
            auto &later = keys[static_cast<size_t>(j)];
            if (outOfOrder(earlier, later))
                std::swap(earlier, later);
        }
    }
}

} // namespace

bool keyLess(const SortKey &a, const SortKey &b)
{
    if (a.Key.index() != b.Key.index())
        return a.Key.index() < b.Key.index();
    return std::visit(
        [](const auto &x, const auto &y) -> bool {
            using X = std::decay_t<decltype(x)>;
            using Y = std::decay_t<decltype(y)>;
            if constexpr (!std::is_same_v<X, Y>)
                return false;
            else if constexpr (std::is_same_v<X, QString>)
                return std::lexicographical_compare(
                    x.utf16(), x.utf16() + x.size(), y.utf16(), y.utf16() + y.size());
            else
                return x < y;
        },
        a.Key, b.Key);
}

void SortUp(TabSet &tabs, TabWindow &window)
{
    exchangeSort(tabs.SortKeys,
        [](const SortKey &earlier, const SortKey &later) { return keyLess(later, earlier); });
    ReorderTabs(tabs, window);
}

void SortDown(TabSet &tabs, TabWindow &window)
{
    exchangeSort(tabs.SortKeys,
        [](const SortKey &earlier, const SortKey &later) { return keyLess(earlier, later); });
    ReorderTabs(tabs, window);
}

void ReorderTabs(TabSet &tabs, TabWindow &window)
{
    const int count = tabs.count();
    Q_ASSERT(static_cast<int>(tabs.SortKeys.size()) == count);

    // Text typed into the working page since it was last stored would not survive the refresh.
    const int selected = window.selectedTab();
    tabs[selected].MoveCont(selected);

    for (int i = 0; i < count; ++i)
        tabs[i].LetTemp(i);
    for (int j = 0; j < count; ++j)
        tabs[j].GetTemp(tabs.SortKeys[static_cast<size_t>(j)].Index);
    for (int k = 0; k < count; ++k) {
        tabs[k].ResetTab(k);
        window.refreshStripCaption(k + 1);
    }
    window.ArrangeControls();
    // The selected position now shows another tab: its date and alarm belong on the status bar.
    window.DispStatus();
}
