// Reading package texts: numbers with a point or a comma, flags, times of day and the two
// single-byte Cyrillic code pages.

#include "exchange/PackageText.h"
#include "core/Prompt.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTime>

#include <pugixml.hpp>

namespace rat::exchange {

double packageNumber(const QString& text)
{
    QByteArray digits;
    const QString s = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto isDigit = [&](qsizetype k) { return k < n && s[k] >= QLatin1Char('0') && s[k] <= QLatin1Char('9'); };
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        digits.append(char(s[i++].unicode()));
    bool any = false;
    while (isDigit(i)) {
        digits.append(char(s[i++].unicode()));
        any = true;
    }
    if (i < n && (s[i] == QLatin1Char('.') || s[i] == QLatin1Char(','))) {
        ++i;
        digits.append('.');
        while (isDigit(i)) {
            digits.append(char(s[i++].unicode()));
            any = true;
        }
    }
    if (!any)
        return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype k = i + 1;
        if (k < n && (s[k] == QLatin1Char('-') || s[k] == QLatin1Char('+')))
            ++k;
        if (isDigit(k)) {
            digits.append('e');
            for (qsizetype j = i + 1; j < k; ++j)
                digits.append(char(s[j].unicode()));
            i = k;
            while (isDigit(i))
                digits.append(char(s[i++].unicode()));
        }
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    return ok ? v : 0.0;
}

bool packageFlag(const QString& text)
{
    return text.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool packageNumericFlag(const QString& text)
{
    return packageFlag(text) || packageNumber(text) != 0.0;
}

QString packageTime(const QString& text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return {};
    static const QRegularExpression re(QStringLiteral("^(?:(\\d{4}-\\d{2}-\\d{2})[T ])?(\\d{1,2}):(\\d{2})(?::(\\d{2}))?"));
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch())
        return {};
    const QTime t(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).isEmpty() ? 0 : m.captured(4).toInt());
    if (!t.isValid())
        return {};
    const QString date = m.captured(1).isEmpty() ? QStringLiteral("1899-12-30") : m.captured(1);
    return date + QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm:ss"));
}

QString nodeText(const pugi::xml_node& node)
{
    if (!node)
        return {};
    return QString::fromUtf8(node.text().get()).trimmed();
}

QString childText(const pugi::xml_node& node, const char* name)
{
    return nodeText(node.child(name));
}

namespace {

// Upper halves (0x80-0xFF) of the two code pages.
const char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C,
    0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9,
    0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0-0xFF: А..я
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B,
    0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439,
    0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

const char16_t kCp866[128] = {
    // 0x80-0xAF: А..п
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B,
    0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439,
    0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    // 0xB0-0xDF: box drawing
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C,
    0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518,
    0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0-0xEF: р..я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D,
    0x044E, 0x044F,
    // 0xF0-0xFF
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4,
    0x25A0, 0x00A0,
};

QString fromSingleByte(const QByteArray& bytes, const char16_t (&upper)[128])
{
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(b < 0x80 ? QChar(b) : QChar(upper[b - 0x80]));
    }
    return out;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = decoder.decode(bytes);
    return !decoder.hasError();
}

struct ParseOutcome {
    bool readable = false;
    bool parsed = false;
    int code = -1;  // the parser's code; none when the text was refused before parsing
    QString reason;
};

// Text in a Cyrillic single-byte code page practically never forms valid multi-byte UTF-8,
// while UTF-8 read as such a code page gives pairs like "Рљ": a file declared single-byte
// whose bytes are valid UTF-8 with letters beyond ASCII was mislabelled.
bool hasMultiByteUtf8(const QByteArray& bytes)
{
    bool beyondAscii = false;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            beyondAscii = true;
            break;
        }
    return beyondAscii && isUtf8(bytes);
}

QString encodingMismatch(const QString& declared)
{
    return QStringLiteral("Текст файла не соответствует объявленной в нем кодировке ") + declared + QLatin1Char('.');
}

ParseOutcome parseFile(const QString& path, pugi::xml_document& doc)
{
    ParseOutcome out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    out.readable = true;
    QByteArray utf8;
    if (!packageText(f.readAll(), utf8, &out.reason))
        return out;
    const pugi::xml_parse_result r =
        doc.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default, pugi::encoding_utf8);
    out.parsed = bool(r);
    out.code = int(r.status);
    out.reason = QString::fromUtf8(r.description());
    return out;
}

} // namespace

QString fromCp1251(const QByteArray& bytes)
{
    return fromSingleByte(bytes, kCp1251);
}

QString fromCp866(const QByteArray& bytes)
{
    return fromSingleByte(bytes, kCp866);
}

QString decodeEntryName(const QByteArray& bytes)
{
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : fromCp866(bytes);
}

QByteArray packageBytesAsUtf8(const QByteArray& bytes)
{
    QByteArray utf8;
    return packageText(bytes, utf8) ? utf8 : bytes;
}

bool packageText(const QByteArray& bytes, QByteArray& utf8, QString* reason)
{
    auto refuse = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    // A byte-order mark names the encoding itself; the parser reads such a file as it is.
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        utf8 = bytes;
        return true;
    }
    QString enc = QStringLiteral("utf-8");
    qsizetype end = -1;
    if (bytes.startsWith("<?xml")) {
        end = bytes.indexOf("?>");
        if (end >= 0) {
            const QByteArray declaration = bytes.left(end).toLower();
            static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
            const QRegularExpressionMatch m = re.match(QString::fromLatin1(declaration));
            if (m.hasMatch())
                enc = m.captured(1).trimmed();
        }
    }
    if (enc == QLatin1String("utf-8") || enc == QLatin1String("utf8")) {
        if (!isUtf8(bytes))
            return refuse(encodingMismatch(QStringLiteral("UTF-8")));
        utf8 = bytes;
        return true;
    }
    const bool cp1251 = enc == QLatin1String("windows-1251") || enc == QLatin1String("cp1251") ||
                        enc == QLatin1String("cp-1251");
    const bool cp866 = enc == QLatin1String("cp866") || enc == QLatin1String("ibm866");
    if (!cp1251 && !cp866)
        return refuse(QStringLiteral("Кодировка ") + enc + QStringLiteral(" не поддерживается."));
    const QByteArray body = bytes.mid(end);
    if (hasMultiByteUtf8(body) || (cp1251 && body.contains('\x98')))
        return refuse(encodingMismatch(enc));
    const QString text = cp1251 ? fromCp1251(body) : fromCp866(body);
    utf8 = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"") + text.toUtf8();
    return true;
}

bool parsePackageFile(const QString& path, pugi::xml_document& doc, QString* error)
{
    const ParseOutcome r = parseFile(path, doc);
    if (error)
        *error = r.parsed ? QString() : r.reason;
    return r.parsed;
}

bool loadPackageFile(const QString& path, pugi::xml_document& doc, Prompt& prompt)
{
    const ParseOutcome r = parseFile(path, doc);
    if (!r.readable) {
        prompt.warning(QStringLiteral("Файл не был найден."));
        return false;
    }
    if (!r.parsed) {
        const QString code = r.code >= 0 ? QString::number(r.code) + QLatin1Char(' ') : QString();
        prompt.warning(QStringLiteral("Обнаружены ошибки в формате файла. ") + code + r.reason + QLatin1Char(' ') +
                       QStringLiteral("Файл не был открыт."));
        return false;
    }
    return true;
}

} // namespace rat::exchange
