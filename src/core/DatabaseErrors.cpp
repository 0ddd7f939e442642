// Engine errors put into sentences for the person: the failed operation, or what to do when
// the file cannot be written, and then the engine's own number and text.

#include "core/DatabaseErrors.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"

#include <sqlite3.h>

namespace rat {

namespace {

QString engineTail(const DbError& e)
{
    return QStringLiteral(" Ошибка: ") + QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.');
}

} // namespace

bool isWriteRefusal(const DbError& e)
{
    const int primary = e.code() & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM;
}

QString writeRefusalMessage(const QString& path, const DbError& e)
{
    return QStringLiteral("Файл базы данных ") + nativePath(path) +
           QStringLiteral(" или папка, в которой он находится, доступны только для чтения, и изменения не могут "
                          "быть записаны. Разрешите запись в файл и в его папку (снимите атрибут \"Только чтение\") "
                          "или скопируйте файл в папку, где запись разрешена, и откройте его оттуда.") +
           engineTail(e);
}

QString databaseErrorMessage(const QString& operation, const DbError& e, const QString& path)
{
    if (isWriteRefusal(e) && !path.isEmpty())
        return writeRefusalMessage(path, e);
    if (operation.isEmpty())
        return QStringLiteral("Возникла ошибка при работе с базой данных.") + engineTail(e);
    return QStringLiteral("Произошла ошибка при ") + operation + QLatin1Char('.') + engineTail(e);
}

} // namespace rat
