#include "help/HelpTopics.h"

#include <QWidget>

#include <algorithm>

namespace ringtally {

namespace {

// The widget property that setHelpTopic() writes.
constexpr char kTopicProperty[] = "ringtallyHelpTopic";

const HelpTopic* find(QStringView topic)
{
    const auto* found = std::find_if(std::begin(kHelpTopics), std::end(kHelpTopics),
        [topic](const HelpTopic& line) { return QStringView(line.topic) == topic; });
    return found == std::end(kHelpTopics) ? nullptr : found;
}

// A widget's class as the map names windows: without the program's namespace.
QString className(const QWidget& widget)
{
    QString name = QString::fromLatin1(widget.metaObject()->className());
    const qsizetype separator = name.lastIndexOf(QLatin1String("::"));
    return separator < 0 ? name : name.sliced(separator + 2);
}

} // namespace

std::optional<HelpPlace> helpPlaceFor(QStringView topic)
{
    const HelpTopic* line = find(topic);
    if (!line)
        return std::nullopt;
    return HelpPlace { QString::fromUtf16(line->page), QString::fromUtf16(line->anchor) };
}

QString helpPageFor(QStringView topic)
{
    const std::optional<HelpPlace> place = helpPlaceFor(topic);
    if (!place)
        return QString();
    return place->anchor.isEmpty() ? place->page : place->page + u'#' + place->anchor;
}

void setHelpTopic(QWidget& widget, const QString& topic)
{
    widget.setProperty(kTopicProperty, topic);
}

QString helpTopicAt(const QWidget* widget)
{
    // A field's own topic beats its window's, however deep the field sits: look for one first.
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString topic = w->property(kTopicProperty).toString();
        if (!topic.isEmpty())
            return topic;
    }
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString name = className(*w);
        if (find(name))
            return name;
    }
    return QStringLiteral("Contents");
}

} // namespace ringtally
