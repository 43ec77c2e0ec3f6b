#include "app/HelpTopics.h"

#include "app/AppConstants.h"

#include <algorithm>

namespace wl {

namespace {

bool hasContext(const HelpTopic& topic, int context)
{
    return std::find(topic.contexts.begin(), topic.contexts.end(), context) != topic.contexts.end();
}

} // namespace

const std::vector<HelpTopic>& HelpTopics::all()
{
    using namespace app::HelpContext;
    static const std::vector<HelpTopic> topics = {
        {"index.html", "Wavelark Help", {"contents", "welcome"}, {}, {}},
        {"main-browse.html",
         "The main window",
         {"main window", "tool bar", "tabs", "sorting", "record total", "menus"},
         {MainBrowse},
         {"wl::TFormMain"}},
        {"main-edit.html",
         "Editing in the main window",
         {"editing", "save", "cancel"},
         {MainEdit},
         {}},
        {"new-record.html",
         "Adding a record",
         {"adding a record", "new record", "position", "frequency"},
         {NewRecord},
         {"wl::TFormNew"}},
        {"categories.html",
         "Editing categories",
         {"categories", "renaming a category"},
         {CategoryEditor, CategoryRename},
         {"wl::TFormCategory"}},
        {"preferences.html",
         "Preferences",
         {"preferences", "columns", "frequency range", "date display"},
         {Preferences},
         {"wl::TFormSetup"}},
        {"find.html", "Finding records", {"find", "search"}, {Find}, {"wl::TFormFind"}},
        {"notes.html", "Notes", {"notes", "printing notes"}, {NotesViewer}, {"wl::TFormView"}},
        {"repair.html",
         "Repairing the database",
         {"repair", "damaged database"},
         {RepairConfirmation},
         {}},
        {"maintenance.html",
         "Databases and backups",
         {"new database", "select database", "merge", "backup", "backup folder"},
         {Maintenance},
         {}},
        {"import.html",
         "Importing records",
         {"import", "comma-delimited files", "csv", "hertz multiplier"},
         {Import},
         {"wl::TFormImport"}},
        {"export.html",
         "Exporting records",
         {"export", "spreadsheet", "html", "clipboard"},
         {Export},
         {"wl::TExportChoiceForm", "wl::TProgressForm"}},
        {"print-preview.html",
         "Printing and print preview",
         {"print", "print preview", "report", "report font"},
         {PrintPreview},
         {"wl::TPagePreview"}},
        {"map.html",
         "The map",
         {"map", "globe", "distance", "heading", "night shadow", "saving the map"},
         {Map, MapSaveDialog},
         {"wl::TFormMap"}},
        {"cities.html",
         "Cities and home town",
         {"cities", "custom cities", "home town"},
         {CityEditor},
         {"wl::TFormHome"}},
        {"internet.html",
         "The Internet menu",
         {"home page", "e-mail", "program updates"},
         {Internet},
         {}},
    };
    return topics;
}

const HelpTopic& HelpTopics::defaultTopic()
{
    return all().front();
}

const HelpTopic& HelpTopics::forContext(int context, const QStringList& askingWindows)
{
    const auto& topics = all();
    for (const QString& window : askingWindows) {
        for (const HelpTopic& topic : topics) {
            if (hasContext(topic, context) && topic.windows.contains(window))
                return topic;
        }
    }
    const auto found = std::find_if(topics.begin(), topics.end(), [context](const HelpTopic& t) {
        return hasContext(t, context);
    });
    return found != topics.end() ? *found : defaultTopic();
}

const HelpTopic* HelpTopics::forWindow(const QStringList& windows)
{
    for (const QString& window : windows) {
        for (const HelpTopic& topic : all()) {
            if (topic.windows.contains(window))
                return &topic;
        }
    }
    return nullptr;
}

QUrl HelpTopics::url(const HelpTopic& topic)
{
    return QUrl(QStringLiteral("qrc:/help/") + topic.file);
}

} // namespace wl
