#pragma once
// Per-user settings of the program, sections "Settings" (behaviour and window layout) and
// "User" (database path, program password, window choices).

#include <QString>
#include <QVariant>

namespace rat {

class Settings {
public:
    static QString text(const QString& section, const QString& key, const QString& def = {});
    static void setText(const QString& section, const QString& key, const QString& value);
    static QVariant value(const QString& section, const QString& key, const QVariant& def = {});
    static void setValue(const QString& section, const QString& key, const QVariant& value);
    static void remove(const QString& section, const QString& key);

    // Keeps the settings in `folder` instead of the person's own store (tests, trials).
    static void useFolder(const QString& folder);
};

// Val() of a settings text: the leading number, 0 when there is none.
double leadingNumber(const QString& text);

} // namespace rat
