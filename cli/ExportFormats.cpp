#include "cli/ExportFormats.h"

#include "exchange/export/ExportWriters.h"

#include <QRegularExpression>

namespace wl::cli {

namespace {

// "Comma-Delimited Text (CSV)" gives "CSV".
QString abbreviation(const QString& displayName)
{
    static const QRegularExpression inParentheses(QStringLiteral("\\(([^)]*)\\)"));
    return inParentheses.match(displayName).captured(1).trimmed();
}

// Every name a type could answer to, before ambiguous ones are dropped.
QStringList candidateNames(TExportType type)
{
    const QString display = ExportTypeName(type);
    QString base = display;
    base.remove(QRegularExpression(QStringLiteral("\\([^)]*\\)")));
    base = base.trimmed().toLower();
    base.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
    QStringList names{base};
    for (const QString& other : {abbreviation(display).toLower(), ExportTypeExtension(type)}) {
        if (!other.isEmpty() && !names.contains(other))
            names << other;
    }
    return names;
}

} // namespace

QList<TExportType> ExportFormats::fileTypes()
{
    QList<TExportType> types;
    for (TExportType type : AllExportTypes) {
        if (ExportWriters::has(type) && !ExportTypeExtension(type).isEmpty())
            types << type;
    }
    return types;
}

QString ExportFormats::shortName(TExportType type)
{
    return candidateNames(type).front();
}

QStringList ExportFormats::namesOf(TExportType type)
{
    QStringList names;
    const QList<TExportType> types = fileTypes();
    for (const QString& name : candidateNames(type)) {
        const bool shared = std::any_of(types.begin(), types.end(), [&](TExportType other) {
            return other != type && candidateNames(other).contains(name);
        });
        if (!shared)
            names << name;
    }
    return names;
}

std::optional<TExportType> ExportFormats::find(const QString& name)
{
    const QString wanted = name.trimmed().toLower();
    for (TExportType type : fileTypes()) {
        if (namesOf(type).contains(wanted) || ExportTypeName(type).toLower() == wanted)
            return type;
    }
    return std::nullopt;
}

QString ExportFormats::listing()
{
    QString text;
    for (TExportType type : fileTypes()) {
        const QStringList names = namesOf(type);
        QString key = names.value(0, shortName(type));
        if (names.size() > 1)
            key +=
                QStringLiteral(" (") + names.mid(1).join(QStringLiteral(", ")) + QLatin1Char(')');
        text += QStringLiteral("  %1  %2\n").arg(key.leftJustified(30), ExportTypeName(type));
    }
    return text;
}

} // namespace wl::cli
