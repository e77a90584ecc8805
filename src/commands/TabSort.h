#pragma once

struct SortKey;
class TabSet;
class TabWindow;

// The sort procedures shared by the menu sorts and the manual sort. The caller fills
// tabs.SortKeys with one key per tab; the sort puts the keys in order with a stable
// exchange sort and moves the tab data into that order.

// Smallest key first. Tabs with equal keys keep their order.
void SortUp(TabSet &tabs, TabWindow &window);
// Largest key first. Tabs with equal keys keep their order.
void SortDown(TabSet &tabs, TabWindow &window);

// Tab index j takes the whole data of the tab SortKeys[j].Index names, for every j; every page
// and strip caption is refreshed. The records, pages and selected strip position stay put.
void ReorderTabs(TabSet &tabs, TabWindow &window);

// Dates by time, captions by UTF-16 code unit (case-sensitive, whatever the locale), typed
// numbers numerically.
bool keyLess(const SortKey &a, const SortKey &b);
