// The per-user settings store (sections "Settings" and "User") and the reading of the
// number a setting's text starts with.

#include "core/Settings.h"

#include <QRegularExpression>
#include <QSettings>

namespace rat {
namespace {

QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ratsionariy"),
                     QStringLiteral("ratsionariy"));
}

QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString Settings::text(const QString& section, const QString& key, const QString& def)
{
    return store().value(keyPath(section, key), def).toString();
}

void Settings::setText(const QString& section, const QString& key, const QString& value)
{
    store().setValue(keyPath(section, key), value);
}

QVariant Settings::value(const QString& section, const QString& key, const QVariant& def)
{
    return store().value(keyPath(section, key), def);
}

void Settings::setValue(const QString& section, const QString& key, const QVariant& value)
{
    store().setValue(keyPath(section, key), value);
}

void Settings::remove(const QString& section, const QString& key)
{
    store().remove(keyPath(section, key));
}

void Settings::useFolder(const QString& folder)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([-+]?\\d*[.]?\\d+(?:[eE][-+]?\\d+)?)"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

} // namespace rat
