#pragma once
// The organisation's data printed in the headers and signature blocks of the forms, from `INF`.

#include <QString>

namespace rat {
class Database;
}

namespace rat::documents {

struct Organisation {
    QString name;        // naim
    QString okpo;
    QString director;    // "Иванова М.П."
    QString keeper;      // famK ImK OtchK, the storekeeper
    QString accountant;  // famB ImB OtchB
    QString nurse;       // famMS ImMS OtchMS, the doctor or dietitian
    QString cook;        // famP ImP OtchP
    QString responsible; // famMat ImMat OtchMat, the materially responsible person
};

Organisation readOrganisation(Database& db);

// A surname with the initials of the given names: ("Иванова", "Мария", "Петровна") -> "Иванова М.П.".
QString surnameWithInitials(const QString& surname, const QString& name, const QString& patronymic);

} // namespace rat::documents
