#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;
class QTemporaryDir;

namespace wl {

// The settings store: a tree of keys holding named string values, in the manner of the
// Windows registry. On Windows it is the registry itself; elsewhere an INI file, by default
// in the user's configuration folder, or the file named by the environment variable
// WAVELARK_SETTINGS.
//
// Key paths use "\" between their parts. A path that starts with "\" is absolute; any other is
// relative to the current key. Every value is stored as a string: integers as decimal text,
// booleans as "0" or "1". Reading never creates a value or a key.
//
// A settings file that exists but cannot be read is never written over: writing would replace
// the user's hand edits with the little that could be parsed. It is kept aside under a new name
// and a fresh file is started; when it cannot even be moved, it is left alone and the settings
// live in memory only. takeReadProblem() then says what happened, once per file and process.
class Registry
{
public:
    explicit Registry(const QString& fileName = defaultFileName());
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    static QString defaultFileName();
    QString fileName() const;
    // What was wrong with a settings file and what was done about it, for the program to tell
    // the user; empty when every file read well or this was already taken.
    static QString takeReadProblem();

    // Makes the key current; when it is missing it is created only when canCreate is true.
    bool openKey(const QString& key, bool canCreate);
    void closeKey();
    QString currentKey() const; // absolute, "\" when none is open
    bool keyExists(const QString& key) const;
    QStringList keyNames() const;   // subkeys of the current key
    QStringList valueNames() const; // values of the current key

    bool valueExists(const QString& name) const;
    QString readString(const QString& name, const QString& fallback = {}) const;
    // A missing value or a text that is not a decimal 32-bit integer reads as the fallback.
    int readInteger(const QString& name, int fallback) const;
    bool readBool(const QString& name, bool fallback) const;

    bool writeString(const QString& name, const QString& value);
    bool writeInteger(const QString& name, int value);
    bool writeBool(const QString& name, bool value);
    bool deleteValue(const QString& name);

    bool deleteKey(const QString& key);
    // Copies every value and subkey of one key into another, creating it when missing.
    bool copyKey(const QString& from, const QString& to);

    // Writes pending changes to storage; false when that failed (see errorString).
    bool flush();
    QString errorString() const;

private:
    QString resolve(const QString& key) const;
    QString valuePath(const QString& name) const;
    bool groupExists(const QString& group) const;
    void markKey(const QString& group);
    void copyGroup(const QString& from, const QString& to);
    void setAsideUnreadable(const QString& fileName);

    std::unique_ptr<QSettings> settings_;
    QString current_; // settings group of the current key, "" for the root
    QString error_;
    std::unique_ptr<QTemporaryDir> scratch_; // holds the settings when the file is left alone
};

} // namespace wl
