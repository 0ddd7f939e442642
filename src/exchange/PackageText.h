#pragma once
// Reading the texts of the standard-data packages: numbers with a decimal point or comma,
// yes/no flags, times of day, the two single-byte Cyrillic code pages such files and archive
// names come in, and the loading of one package file with its parse-error message.

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace pugi {
class xml_document;
class xml_node;
}

namespace rat {
class Prompt;
}

namespace rat::exchange {

// "12,5" and "12.5" alike; reading stops at the first character that is not part of a number
// ("12 г" is 12); no number at all is 0. Independent of the person's locale.
double packageNumber(const QString& text);

// Only "true" (in any letter case) is yes.
bool packageFlag(const QString& text);

// A yes/no kept in a numeric column of a package: any number but zero is yes ("-1", "1"), and
// so is "true", which our own packages write.
bool packageNumericFlag(const QString& text);

// A time of day as the file stores it, on the base date: "08:30" -> "1899-12-30 08:30:00". A
// text that carries a date keeps it. An unreadable text gives an empty text.
QString packageTime(const QString& text);

// The trimmed text of an element (all its text content), empty for a null node.
QString nodeText(const pugi::xml_node& node);
// The trimmed text of the first child element of that name.
QString childText(const pugi::xml_node& node, const char* name);

QString fromCp1251(const QByteArray& bytes);
QString fromCp866(const QByteArray& bytes);

// An archive entry's name: UTF-8 when the bytes are valid UTF-8, otherwise CP866 (the code
// page of names in archives made without the UTF-8 flag).
QString decodeEntryName(const QByteArray& bytes);

// The file's bytes as UTF-8 text for the parser: a file declaring windows-1251 or CP866 is
// converted, one declaring UTF-8 (or nothing) is checked. False, with the reason, when the
// bytes are not text of the declared encoding or the encoding is none of these.
bool packageText(const QByteArray& bytes, QByteArray& utf8, QString* reason = nullptr);
// The same, giving the bytes back unchanged where they are refused.
QByteArray packageBytesAsUtf8(const QByteArray& bytes);

// Parses the file. On a parse error the person is told "Обнаружены ошибки в формате файла. "
// with the parser's code and reason, and false is returned; nothing is read from such a file.
// A file that cannot be read at all gives "Файл не был найден.".
bool loadPackageFile(const QString& path, pugi::xml_document& doc, Prompt& prompt);
// The same without any message; for looking into candidate files.
bool parsePackageFile(const QString& path, pugi::xml_document& doc, QString* error = nullptr);

} // namespace rat::exchange
