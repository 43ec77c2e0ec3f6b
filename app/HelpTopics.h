#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

namespace wl {

// One help topic shipped with the program.
struct HelpTopic
{
    QString file; // inside the help resource
    QString title;
    QStringList keywords;
    std::vector<int> contexts;
    // The classes of the windows whose topic this is; they tell apart windows that share a
    // context number, and lead F1 to a topic in windows that ask for no number themselves.
    QStringList windows;
};

// The program's help topics and the context numbers that lead to them.
class HelpTopics
{
public:
    static const std::vector<HelpTopic>& all();
    static const HelpTopic& defaultTopic();
    // The topic of a help context; among topics that share the number, the one of the asking
    // window (its class or that of a window it belongs to, innermost first). The default topic
    // when no window has that number.
    static const HelpTopic& forContext(int context, const QStringList& askingWindows = {});
    // The topic of the innermost of the windows that has one, nullptr when none has.
    static const HelpTopic* forWindow(const QStringList& windows);
    static QUrl url(const HelpTopic& topic);
};

} // namespace wl
