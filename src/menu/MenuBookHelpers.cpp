// The building blocks of the menu module's book definitions: heads, list columns and editor
// fields.

#include "menu/MenuBookHelpers.h"
#include "core/ChoiceLists.h"

namespace rat::menu::bookparts {

using namespace rat::books;

BookDef book(int entry, const QString& table, const QString& listTitle, const QString& recordName,
             const QString& nameField)
{
    BookDef b;
    b.entry = entry;
    b.table = table;
    b.listTitle = listTitle;
    b.recordName = recordName;
    b.nameField = nameField;
    return b;
}

ListColumn column(const QString& caption, const QString& source, int width, int decimals)
{
    ListColumn c;
    c.caption = caption;
    c.source = source;
    c.width = width;
    c.decimals = decimals;
    return c;
}

ListColumn planMenuTitleColumn(const QString& caption, const QString& alias, int width)
{
    ListColumn c = column(caption, QString(), width);
    QString sql = QStringLiteral("COALESCE(%1.tname, '') || CASE WHEN %1.sezon IS NULL OR %1.sezon = '' OR "
                                 "%1.sezon = 0 THEN ''")
                      .arg(alias);
    for (int s = 1; s <= 7; ++s) {
        sql += QStringLiteral(" WHEN %1.sezon = ? THEN ?").arg(alias);
        c.params.push_back(s);
        c.params.push_back(seasonSuffix(s));
    }
    sql += QStringLiteral(" ELSE ? END");
    c.params.push_back(seasonSuffix(8));
    c.source = sql;
    return c;
}

EditorField field(const QString& caption, Control control, const QString& name, int flag)
{
    EditorField f;
    f.caption = caption;
    f.control = control;
    f.field = name;
    f.flag = flag;
    return f;
}

EditorField listField(const QString& caption, const QString& name, ListSource source, int flag)
{
    EditorField f = field(caption, Control::List, name, flag);
    f.source = source;
    return f;
}

EditorField nameField(const QString& name)
{
    EditorField f = field(QStringLiteral("Наименование"), Control::Text, name, required);
    f.limit = 255;
    return f;
}

} // namespace rat::menu::bookparts
