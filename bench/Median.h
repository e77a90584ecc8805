#pragma once

#include <QList>
#include <algorithm>
#include <stdexcept>

// The middle value (the lower middle for an even count).
template<typename T>
T median(QList<T> values)
{
    if (values.isEmpty())
        throw std::invalid_argument("median of nothing");
    const auto middle = values.begin() + (values.size() - 1) / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}
