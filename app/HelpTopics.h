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
};

// The program's help topics and the context numbers that lead to them.
class HelpTopics
{
public:
    static const std::vector<HelpTopic>& all();
    static const HelpTopic& defaultTopic();
    // The topic of a help context; the default topic when no window has that number.
    static const HelpTopic& forContext(int context);
    static QUrl url(const HelpTopic& topic);
};

} // namespace wl
