#include "localisation/CountWords.h"

#include <array>

namespace ringtally {

namespace {

struct Forms {
    const char16_t* danishOne;
    const char16_t* danishMore;
    const char16_t* englishOne;
    const char16_t* englishMore;
};

// By CountWord. "Opkald" is the same word for one call and for several.
constexpr std::array kForms {
    Forms { u"sekund", u"sekunder", u"second", u"seconds" },
    Forms { u"minut", u"minutter", u"minute", u"minutes" },
    Forms { u"opkald", u"opkald", u"call", u"calls" },
};

} // namespace

QString countOf(qint64 count, CountWord word, bool english)
{
    const Forms& forms = kForms.at(size_t(word));
    const bool one = count == 1;
    const char16_t* text
        = english ? (one ? forms.englishOne : forms.englishMore) : (one ? forms.danishOne : forms.danishMore);
    return QString::number(count) + u' ' + QString::fromUtf16(text);
}

} // namespace ringtally
