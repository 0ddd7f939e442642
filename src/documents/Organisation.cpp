// Reading the organisation record for the printed forms.

#include "documents/Organisation.h"

#include "core/Database.h"

namespace rat::documents {

QString surnameWithInitials(const QString& surname, const QString& name, const QString& patronymic)
{
    QString s = surname.trimmed();
    QString initials;
    for (const QString& part : {name.trimmed(), patronymic.trimmed()})
        if (!part.isEmpty())
            initials += part.left(1).toUpper() + u'.';
    if (!initials.isEmpty())
        s += (s.isEmpty() ? QString() : QStringLiteral(" ")) + initials;
    return s;
}

Organisation readOrganisation(Database& db)
{
    Organisation o;
    Statement st(db, QStringLiteral(
        "SELECT Naim, okpo, FamDir, ImDir, OtchDir, famK, ImK, OtchK, famB, ImB, OtchB, famMS, ImMS, OtchMS, "
        "famP, ImP, OtchP, famMat, ImMat, OtchMat FROM INF LIMIT 1"));
    if (!st.next())
        return o;
    auto person = [&](int at) { return surnameWithInitials(st.toString(at), st.toString(at + 1), st.toString(at + 2)); };
    o.name = st.toString(0).trimmed();
    o.okpo = st.toString(1).trimmed();
    o.director = person(2);
    o.keeper = person(5);
    o.accountant = person(8);
    o.nurse = person(11);
    o.cook = person(14);
    o.responsible = person(17);
    return o;
}

} // namespace rat::documents
