#include "app/services/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <utility>

namespace wl {

namespace {

const char* const FileVariable = "WAVELARK_SETTINGS";

// A key in an INI file exists only through the entries it holds, so every key carries its
// (empty) default value, as every registry key does; it keeps an empty key in existence.
const QString KeyMark = QStringLiteral("@");

// Set when a file could not be read, until the program takes it to tell the user.
QString& pendingReadProblem()
{
    static QString problem;
    return problem;
}

bool isValueName(const QString& name)
{
    return !name.isEmpty() && name != KeyMark && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\'));
}

QString joinGroup(const QString& group, const QString& name)
{
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

} // namespace

Registry::Registry(const QString& fileName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fileName);
    settings_ =
        std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE"), QSettings::NativeFormat);
#else
    settings_ = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    if (settings_->status() != QSettings::NoError)
        setAsideUnreadable(fileName);
#endif
}

void Registry::setAsideUnreadable(const QString& fileName)
{
    settings_.reset();
    const QString native = QDir::toNativeSeparators(fileName);
    QString aside = fileName + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = fileName + QStringLiteral(".unreadable") + QString::number(n);
    if (QFile::rename(fileName, aside)) {
        pendingReadProblem() =
            QStringLiteral("The settings file %1 could not be read. It was kept as %2, and the "
                           "program starts with its default settings.")
                .arg(native, QDir::toNativeSeparators(aside));
        settings_ = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
        return;
    }
    scratch_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<QSettings>(scratch_->filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
    // A file left alone is met again by every later instance, but told once.
    static QSet<QString> told;
    if (told.contains(fileName))
        return;
    told.insert(fileName);
    pendingReadProblem() =
        QStringLiteral("The settings file %1 could not be read. It was left as it is; the "
                       "program runs with its default settings and cannot save them.")
            .arg(native);
}

QString Registry::takeReadProblem()
{
    return std::exchange(pendingReadProblem(), QString());
}

Registry::~Registry()
{
    flush();
}

QString Registry::defaultFileName()
{
    const QString overridden = qEnvironmentVariable(FileVariable);
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Wavelark/Wavelark.ini");
}

QString Registry::fileName() const
{
    return settings_->fileName();
}

QString Registry::resolve(const QString& key) const
{
    QString path = key;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = path.startsWith(QLatin1Char('/'));
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!absolute && !current_.isEmpty())
        parts.prepend(current_);
    return parts.join(QLatin1Char('/'));
}

QString Registry::valuePath(const QString& name) const
{
    return joinGroup(current_, name);
}

bool Registry::groupExists(const QString& group) const
{
    if (group.isEmpty())
        return true;
    settings_->beginGroup(group);
    const bool found = !settings_->childKeys().isEmpty() || !settings_->childGroups().isEmpty();
    settings_->endGroup();
    return found;
}

void Registry::markKey(const QString& group)
{
    if (!group.isEmpty() && !settings_->contains(joinGroup(group, KeyMark)))
        settings_->setValue(joinGroup(group, KeyMark), QString());
}

bool Registry::openKey(const QString& key, bool canCreate)
{
    const QString group = resolve(key);
    if (!groupExists(group)) {
        if (!canCreate)
            return false;
        markKey(group);
    }
    current_ = group;
    return true;
}

void Registry::closeKey()
{
    current_.clear();
}

QString Registry::currentKey() const
{
    QString path = QLatin1Char('\\') + current_;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

bool Registry::keyExists(const QString& key) const
{
    return groupExists(resolve(key));
}

QStringList Registry::keyNames() const
{
    settings_->beginGroup(current_);
    const QStringList names = settings_->childGroups();
    settings_->endGroup();
    return names;
}

QStringList Registry::valueNames() const
{
    settings_->beginGroup(current_);
    QStringList names = settings_->childKeys();
    settings_->endGroup();
    names.removeAll(KeyMark);
    return names;
}

bool Registry::valueExists(const QString& name) const
{
    return isValueName(name) && settings_->contains(valuePath(name));
}

QString Registry::readString(const QString& name, const QString& fallback) const
{
    if (!valueExists(name))
        return fallback;
    const QVariant value = settings_->value(valuePath(name));
    // A hand-edited INI line with unquoted commas comes back as a list.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

int Registry::readInteger(const QString& name, int fallback) const
{
    if (!valueExists(name))
        return fallback;
    bool ok = false;
    const int value = readString(name).trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool Registry::readBool(const QString& name, bool fallback) const
{
    return readInteger(name, fallback ? 1 : 0) != 0;
}

bool Registry::writeString(const QString& name, const QString& value)
{
    if (!isValueName(name))
        return false;
    markKey(current_);
    settings_->setValue(valuePath(name), value);
    return true;
}

bool Registry::writeInteger(const QString& name, int value)
{
    return writeString(name, QString::number(value));
}

bool Registry::writeBool(const QString& name, bool value)
{
    return writeString(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Registry::deleteValue(const QString& name)
{
    if (!valueExists(name))
        return false;
    settings_->remove(valuePath(name));
    markKey(current_);
    return true;
}

bool Registry::deleteKey(const QString& key)
{
    const QString group = resolve(key);
    if (group.isEmpty() || !groupExists(group))
        return false;
    settings_->remove(group);
    if (current_ == group || current_.startsWith(group + QLatin1Char('/')))
        current_.clear();
    return true;
}

void Registry::copyGroup(const QString& from, const QString& to)
{
    markKey(to);
    settings_->beginGroup(from);
    const QStringList values = settings_->childKeys();
    const QStringList groups = settings_->childGroups();
    settings_->endGroup();
    for (const QString& value : values)
        settings_->setValue(joinGroup(to, value), settings_->value(joinGroup(from, value)));
    for (const QString& group : groups)
        copyGroup(joinGroup(from, group), joinGroup(to, group));
}

bool Registry::copyKey(const QString& from, const QString& to)
{
    const QString source = resolve(from);
    const QString target = resolve(to);
    if (source.isEmpty() || target.isEmpty() || !groupExists(source))
        return false;
    // Copying a key into its own subtree would never end.
    if (target == source || target.startsWith(source + QLatin1Char('/')))
        return false;
    copyGroup(source, target);
    return true;
}

bool Registry::flush()
{
    settings_->sync();
    switch (settings_->status()) {
    case QSettings::NoError:
        error_.clear();
        return true;
    case QSettings::AccessError:
        error_ = QStringLiteral("The settings could not be written to %1.")
                     .arg(QDir::toNativeSeparators(settings_->fileName()));
        return false;
    case QSettings::FormatError:
        error_ = QStringLiteral("The settings file %1 is not in a readable format.")
                     .arg(QDir::toNativeSeparators(settings_->fileName()));
        return false;
    }
    return false;
}

QString Registry::errorString() const
{
    return error_;
}

} // namespace wl
