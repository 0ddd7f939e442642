// Unpacking standard-data archives into "Tempp": folders flattened, Cyrillic names intact with
// and without the archive's UTF-8 flag, nothing written outside the folder, the messages of
// failed unpacks; and the texts of the packages (numbers, flags, times, code pages).

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "exchange/PackageText.h"
#include "exchange/Unpack.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <clocale>
#include <pugixml.hpp>

using namespace rat;
using namespace rat::exchange;
using rat::test::NameFlag;
using rat::test::ZipEntry;

namespace {

// "Продукты.xml" in CP866.
const QByteArray kProductsCp866 = QByteArray::fromHex("8fe0aea4e3aae2eb2e786d6c");

class Unpack : public ::testing::Test {
protected:
    QString tempp() const { return QDir(app().appDir).filePath(QStringLiteral("Tempp")); }
    QString zip(const QString& name) const { return env.path(name); }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
};

TEST_F(Unpack, FoldersAreFlattenedAndNothingIsWrittenOutsideTheScratchFolder)
{
    const QString archive = zip(QStringLiteral("a.zip"));
    ASSERT_TRUE(test::writeZip(archive, {
        {"../escape.xml", "<a/>"},
        {"../../deeper.xml", "<b/>"},
        {"/absolute.xml", "<c/>"},
        {"пакеты/2024/Продукты.xml", "<entities/>"},
        {"папка/", "", AE_IFDIR},
        {"link.xml", "", AE_IFLNK, "/etc/passwd"},
        {"..\\windows.xml", "<d/>"},
    }));
    const QStringList appBefore = test::filesIn(app().appDir);
    const QStringList envBefore = test::filesIn(env.dir());

    EXPECT_EQ(UnpackArchive(archive, prompt), unpackOk);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(test::filesIn(tempp()), (QStringList{"absolute.xml", "deeper.xml", "escape.xml", "windows.xml", "Продукты.xml"}));
    EXPECT_EQ(test::fileBytes(QDir(tempp()).filePath(QStringLiteral("escape.xml"))), QByteArray("<a/>"));
    // No folder was made in the scratch folder and no file appeared around it.
    EXPECT_TRUE(QDir(tempp()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(test::filesIn(app().appDir), appBefore);
    EXPECT_EQ(test::filesIn(env.dir()), envBefore);
    EXPECT_FALSE(QFileInfo::exists(QDir(tempp()).filePath(QStringLiteral("link.xml"))));
}

TEST_F(Unpack, CyrillicNamesWithAndWithoutTheUtf8FlagInTheCLocale)
{
    const QString flagged = zip(QStringLiteral("flagged.zip"));
    const QString raw866 = zip(QStringLiteral("cp866.zip"));
    const QString rawUtf8 = zip(QStringLiteral("utf8-unflagged.zip"));
    ASSERT_TRUE(test::writeZip(flagged, {{"СанПиН_12.xml", "<x/>"}}, NameFlag::Utf8));
    ASSERT_TRUE(test::writeZip(raw866, {{kProductsCp866, "<y/>"}}, NameFlag::Raw));
    ASSERT_TRUE(test::writeZip(rawUtf8, {{"Сборник.xml", "<z/>"}}, NameFlag::Raw));
    // The archives are what they claim to be: bit 11 is the UTF-8 flag.
    EXPECT_NE(test::firstEntryFlags(flagged) & 0x800, 0);
    EXPECT_EQ(test::firstEntryFlags(raw866) & 0x800, 0);
    EXPECT_EQ(test::firstEntryFlags(rawUtf8) & 0x800, 0);

    const std::string before = std::setlocale(LC_CTYPE, "C");
    const QString folder = env.path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(extractArchive(flagged, folder).files, QStringList{QStringLiteral("СанПиН_12.xml")});
    EXPECT_EQ(extractArchive(raw866, folder).files, QStringList{QStringLiteral("Продукты.xml")});
    EXPECT_EQ(extractArchive(rawUtf8, folder).files, QStringList{QStringLiteral("Сборник.xml")});
    // The locale of the process is as it was.
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    std::setlocale(LC_CTYPE, before.c_str());
    EXPECT_EQ(test::filesIn(folder), (QStringList{"Продукты.xml", "СанПиН_12.xml", "Сборник.xml"}));
}

TEST_F(Unpack, ScratchFolderIsEmptiedOnlyWhenItHoldsPackages)
{
    const QString archive = zip(QStringLiteral("a.zip"));
    ASSERT_TRUE(test::writeZip(archive, {{"new.xml", "<n/>"}}));
    ASSERT_TRUE(QDir().mkpath(tempp()));
    ASSERT_TRUE(test::writeFile(QDir(tempp()).filePath(QStringLiteral("notes.txt")), "keep"));
    ASSERT_EQ(UnpackArchive(archive, prompt), unpackOk);
    EXPECT_EQ(test::filesIn(tempp()), (QStringList{"new.xml", "notes.txt"}));

    ASSERT_TRUE(test::writeZip(archive, {{"other.xml", "<o/>"}}));
    ASSERT_EQ(UnpackArchive(archive, prompt), unpackOk);
    EXPECT_EQ(test::filesIn(tempp()), QStringList{"other.xml"});

    // A missing scratch folder is made.
    ASSERT_TRUE(QDir(tempp()).removeRecursively());
    ASSERT_EQ(UnpackArchive(archive, prompt), unpackOk);
    EXPECT_EQ(test::filesIn(tempp()), QStringList{"other.xml"});
}

TEST_F(Unpack, FailuresShowTheMessageOfTheirCode)
{
    const QString notZip = zip(QStringLiteral("not.zip"));
    ASSERT_TRUE(test::writeFile(notZip, QByteArray(300, 'x')));
    EXPECT_EQ(UnpackArchive(notZip, prompt), unpackCritical);
    EXPECT_EQ(UnpackArchive(QString(), prompt), unpackCommandLine);

    // A good first entry followed by a cut-off second one: the first is there.
    const QString whole = zip(QStringLiteral("whole.zip"));
    ASSERT_TRUE(test::writeZip(whole, {{"first.xml", "<f/>"}, {"second.xml", QByteArray(5000, 'y')}}));
    QByteArray bytes = test::fileBytes(whole);
    const qsizetype second = bytes.indexOf("PK\x03\x04", 4);
    ASSERT_GT(second, 0);
    const QString cut = zip(QStringLiteral("cut.zip"));
    ASSERT_TRUE(test::writeFile(cut, bytes.left(second + 60)));
    const int code = UnpackArchive(cut, prompt);
    EXPECT_TRUE(code == unpackNonCritical || code == unpackCritical) << code;
    EXPECT_TRUE(QFileInfo::exists(QDir(tempp()).filePath(QStringLiteral("first.xml"))));
    EXPECT_FALSE(QFileInfo::exists(QDir(tempp()).filePath(QStringLiteral("second.xml"))));

    EXPECT_EQ(prompt.messages(),
              (QStringList{"critical: При создании ZIP-архива произошла критическая ошибка!",
                           "critical: При создании ZIP-архива произошла ошибка командной строки!",
                           "critical: " + unpackMessage(code)}));
    EXPECT_EQ(unpackMessage(unpackNonCritical),
              QStringLiteral("При создании ZIP-архива произошла некритическая ошибка. Например, доступ к одному или "
                             "нескольким файлам был запрещен, поэтому они не были включены в архив"));
    EXPECT_EQ(unpackMessage(unpackOutOfMemory), QStringLiteral("Недостаточно памяти для создания ZIP-архива. Операция прервана!"));
    EXPECT_EQ(unpackMessage(unpackInterrupted), QStringLiteral("Формирование ZIP-архива прервано пользователем."));
    EXPECT_EQ(unpackMessage(3), QStringLiteral("Неизвестная ошибка при создании ZIP-архива."));
}

TEST(PackageText, NumbersWithCommaOrPointFlagsAndTimes)
{
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("12,5")), 12.5);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral(" 0,75 г")), 0.75);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("-3,5e2x")), -350.0);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("7e")), 7.0);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral(",5")), 0.5);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("1 000")), 1.0);
    EXPECT_DOUBLE_EQ(packageNumber(QStringLiteral("много")), 0.0);
    EXPECT_DOUBLE_EQ(packageNumber(QString()), 0.0);

    EXPECT_TRUE(packageFlag(QStringLiteral("true")));
    EXPECT_TRUE(packageFlag(QStringLiteral(" True ")));
    for (const char* no : {"1", "-1", "yes", "да", "false", "", "truee"})
        EXPECT_FALSE(packageFlag(QString::fromUtf8(no))) << no;

    EXPECT_EQ(packageTime(QStringLiteral("8:30")), QStringLiteral("1899-12-30 08:30:00"));
    EXPECT_EQ(packageTime(QStringLiteral("12:00:15")), QStringLiteral("1899-12-30 12:00:15"));
    EXPECT_EQ(packageTime(QStringLiteral("1899-12-30T10:30:00")), QStringLiteral("1899-12-30 10:30:00"));
    EXPECT_EQ(packageTime(QStringLiteral("25:00")), QString());
    EXPECT_EQ(packageTime(QStringLiteral("утро")), QString());
}

TEST(PackageText, SingleByteCodePages)
{
    // "Ёжик №1" in both code pages.
    EXPECT_EQ(fromCp1251(QByteArray::fromHex("a8e6e8ea20b931")), QStringLiteral("Ёжик №1"));
    EXPECT_EQ(fromCp866(QByteArray::fromHex("f0a6a8aa20fc31")), QStringLiteral("Ёжик №1"));
    EXPECT_EQ(decodeEntryName(kProductsCp866), QStringLiteral("Продукты.xml"));
    EXPECT_EQ(decodeEntryName(QStringLiteral("Продукты.xml").toUtf8()), QStringLiteral("Продукты.xml"));
}

TEST(PackageText, AWindows1251FileIsReadAndABrokenOneToldWithTheParsersCodeAndReason)
{
    test::TestEnv env;
    const QString cp1251 = env.path(QStringLiteral("a.xml"));
    // <entities><name>Каша</name></entities> declared and written in windows-1251.
    ASSERT_TRUE(test::writeFile(cp1251, QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?><entities><name>") +
                                            QByteArray::fromHex("cae0f8e0") + QByteArray("</name></entities>")));
    test::ScriptedPrompt prompt;
    pugi::xml_document doc;
    ASSERT_TRUE(loadPackageFile(cp1251, doc, prompt));
    EXPECT_EQ(childText(doc.document_element(), "name"), QStringLiteral("Каша"));

    const QString broken = env.path(QStringLiteral("b.xml"));
    ASSERT_TRUE(test::writeFile(broken, test::xml(QStringLiteral("<entities><products></entities>"))));
    EXPECT_FALSE(loadPackageFile(broken, doc, prompt));
    EXPECT_FALSE(loadPackageFile(env.path(QStringLiteral("нет.xml")), doc, prompt));
    EXPECT_EQ(prompt.messages(),
              (QStringList{"warning: Обнаружены ошибки в формате файла. 14 Start-end tags mismatch Файл не был открыт.",
                           "warning: Файл не был найден."}));
}

} // namespace
