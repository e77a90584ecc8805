#include "persist/ScrollType.h"

using namespace Qt::StringLiterals;

QString scrollTypeLetter(ScrollType type)
{
    switch (type) {
    case ScrollType::None:
        return u"N"_s;
    case ScrollType::Vertical:
        return u"V"_s;
    case ScrollType::Both:
        break;
    }
    return u"W"_s;
}

std::optional<ScrollType> scrollTypeFromLetter(const QString &letter)
{
    for (const ScrollType type : {ScrollType::None, ScrollType::Vertical, ScrollType::Both}) {
        if (letter == scrollTypeLetter(type))
            return type;
    }
    return std::nullopt;
}
