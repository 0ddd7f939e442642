// The menu-requirement print's layouts and templates, its per-user settings, and the checks
// made before anything is printed.

#include "documents/MenuRequirementPrint.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Settings.h"

namespace rat::documents {

QString templateName(MenuRequirementLayout layout)
{
    switch (layout) {
    case MenuRequirementLayout::Products:
        return QStringLiteral("Меню-требованиеПродукты");
    case MenuRequirementLayout::Mechanised:
        return QStringLiteral("Меню-требование");
    case MenuRequirementLayout::Form299:
        return QStringLiteral("Меню-требование№299");
    case MenuRequirementLayout::Okud0504202:
        return QStringLiteral("Меню-требование (ОКУД 0504202)");
    }
    return {};
}

MenuRequirementLayout layoutFor(int schab, bool cookCopy)
{
    if (cookCopy)
        return MenuRequirementLayout::Products;
    switch (schab) {
    case 1:
        return MenuRequirementLayout::Mechanised;
    case 2:
        return MenuRequirementLayout::Okud0504202;
    default:
        return MenuRequirementLayout::Form299;
    }
}

namespace {

const QString kUser = QStringLiteral("User");

bool flag(const char* key, bool def)
{
    // "True" / "False" as this program writes it; a number as older copies of the settings hold.
    const QString v = Settings::text(kUser, QString::fromLatin1(key)).trimmed();
    if (v.isEmpty())
        return def;
    if (v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return leadingNumber(v) != 0.0;
}

int size(const char* key, int def)
{
    bool ok = false;
    const int v = Settings::text(kUser, QString::fromLatin1(key)).trimmed().toInt(&ok);
    return ok && v >= 4 && v <= 72 ? v : def;
}

void setFlag(const char* key, bool on)
{
    Settings::setText(kUser, QString::fromLatin1(key), on ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace

MenuRequirementPrintSettings readMenuRequirementPrintSettings()
{
    MenuRequirementPrintSettings s;
    s.sortByCode = flag("SortShif", s.sortByCode);
    s.minimizeColumns = flag("MinGr", s.minimizeColumns);
    s.repeatHeader = flag("Dub", s.repeatHeader);
    s.productNamesInHeader = flag("ProdMT", s.productNamesInHeader);
    s.groupByDish = flag("GroupMT", s.groupByDish);
    s.fontSize = size("Schrif", s.fontSize);
    s.totalFontSize = size("Schrif1", s.totalFontSize);
    s.productTotalFontSize = size("Schrif2", s.productTotalFontSize);
    s.perPortion = flag("ChOdin", s.perPortion);
    return s;
}

void saveMenuRequirementPrintSettings(const MenuRequirementPrintSettings& s)
{
    setFlag("SortShif", s.sortByCode);
    setFlag("MinGr", s.minimizeColumns);
    setFlag("Dub", s.repeatHeader);
    setFlag("ProdMT", s.productNamesInHeader);
    setFlag("GroupMT", s.groupByDish);
    Settings::setText(kUser, QStringLiteral("Schrif"), QString::number(s.fontSize));
    Settings::setText(kUser, QStringLiteral("Schrif1"), QString::number(s.totalFontSize));
    Settings::setText(kUser, QStringLiteral("Schrif2"), QString::number(s.productTotalFontSize));
}

bool checkPrintable(Database& db, Prompt& prompt, qint64 dayMenuId, PrintKind kind)
{
    const qint64 withEaters =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM quantity_eating q JOIN day_menu_point dm ON dm.id = q.id_day_menu_point "
                                 "WHERE dm.id_day_menu = ?1 AND q.quantity > 0"),
                  {dayMenuId})
            .toLongLong();
    if (withEaters == 0) {
        prompt.warning(kind == PrintKind::Menu
                            ? QStringLiteral("Невозможно сформировать меню! Укажите количество довольствующихся!")
                            : QStringLiteral("Невозможно сформировать меню-требование! Укажите количество довольствующихся!"));
        return false;
    }
    const qint64 activeTypes =
        db.scalar(QStringLiteral("SELECT COUNT(t.id) FROM quantity_eating q JOIN day_menu_point dm ON dm.id = q.id_day_menu_point "
                                 "JOIN type_eating t ON t.id = q.id_type_eating WHERE dm.id_day_menu = ?1 AND q.quantity > 0"),
                  {dayMenuId})
            .toLongLong();
    if (activeTypes == 0) {
        prompt.critical(QStringLiteral("Печать невозможна! Нет активных типов довольствующихся!"));
        return false;
    }
    return true;
}

} // namespace rat::documents
