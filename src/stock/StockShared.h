#pragma once
// Small helpers the stock files share: numbers and dates of a statement's columns, the refusal
// texts of the editors.

#include "core/Database.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace rat::stock::detail {

inline double num(const Statement& st, int col)
{
    return st.isNull(col) ? 0.0 : st.toDouble(col);
}

inline QDate dateOf(const Statement& st, int col)
{
    return st.isNull(col) ? QDate() : parseIsoDate(st.toString(col).left(10));
}

// "Необходимо обязательно выбрать строку в списке "<caption>"."
QString mustChoose(const QString& caption);
// "Значение "<value>" поля "<caption>" не корректно. Измените введенное значение."
QString notValid(const QString& value, const QString& caption);
// "Не найдена редактируемая запись. Обновите окно (F5), выделите другую строку."
QString editedRowMissing();

// A value bound as NULL when absent.
inline QVariant orNull(const std::optional<qint64>& v)
{
    return v ? QVariant(*v) : QVariant();
}

} // namespace rat::stock::detail
