#include "app/HelpTopics.h"

#include "app/AppConstants.h"

#include <algorithm>

namespace wl {

const std::vector<HelpTopic>& HelpTopics::all()
{
    using namespace app::HelpContext;
    static const std::vector<HelpTopic> topics = {
        {"index.html", "Wavelark Help", {"contents", "welcome"}, {}},
        {"main-browse.html",
         "The main window",
         {"main window", "tool bar", "tabs", "sorting", "record total", "menus"},
         {MainBrowse}},
        {"main-edit.html", "Editing in the main window", {"editing", "save", "cancel"}, {MainEdit}},
        {"new-record.html",
         "Adding a record",
         {"adding a record", "new record", "position", "frequency"},
         {NewRecord}},
        {"categories.html",
         "Editing categories",
         {"categories", "renaming a category"},
         {CategoryEditor, CategoryRename}},
        {"preferences.html",
         "Preferences",
         {"preferences", "columns", "frequency range", "date display"},
         {Preferences}},
        {"find.html", "Finding records", {"find", "search"}, {Find}},
        {"notes.html", "Notes", {"notes", "printing notes"}, {NotesViewer}},
        {"repair.html",
         "Repairing the database",
         {"repair", "damaged database"},
         {RepairConfirmation}},
    };
    return topics;
}

const HelpTopic& HelpTopics::defaultTopic()
{
    return all().front();
}

const HelpTopic& HelpTopics::forContext(int context)
{
    const auto& topics = all();
    const auto found = std::find_if(topics.begin(), topics.end(), [context](const HelpTopic& t) {
        return std::find(t.contexts.begin(), t.contexts.end(), context) != t.contexts.end();
    });
    return found != topics.end() ? *found : defaultTopic();
}

QUrl HelpTopics::url(const HelpTopic& topic)
{
    return QUrl(QStringLiteral("qrc:/help/") + topic.file);
}

} // namespace wl
