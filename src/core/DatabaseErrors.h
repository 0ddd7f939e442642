#pragma once
// The sentences that tell a person about an engine error: the operation that failed, then the
// engine's error number and text; a file or folder that cannot be written gets a sentence
// saying what to do first.

#include <QString>

namespace rat {

class DbError;

// The engine refused to write (a read-only file, or a folder where its journal cannot be made).
bool isWriteRefusal(const DbError& e);

// "Файл базы данных <path> или его папка доступны только для чтения..." followed by the engine's
// number and text.
QString writeRefusalMessage(const QString& path, const DbError& e);

// "Произошла ошибка при <operation>. Ошибка: N text." (the operation in the prepositional, as
// "выполнении команды "list""); without an operation "Возникла ошибка при работе с базой
// данных. Ошибка: N text.". A write refusal gets writeRefusalMessage whatever the operation.
QString databaseErrorMessage(const QString& operation, const DbError& e, const QString& path);

} // namespace rat
