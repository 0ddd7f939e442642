// Archives and packages the import must survive: an archive that unpacks to more than a
// package can be, imports running side by side in "Tempp", text in the wrong code page, and
// numbers out of range or missing.

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "exchange/StandardData.h"
#include "exchange/Unpack.h"
#include "support/FileTest.h"

#include <QDir>
#include <QDirIterator>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::exchange;
using rat::test::ZipEntry;

namespace {

const QString kTooLarge = QStringLiteral(
    "warning: Обнаружены ошибки в формате файла. Распакованные файлы архива занимают больше 64 МБ, допустимых для "
    "пакета данных. Файл не был открыт.");

QByteArray productsXml(const QString& products)
{
    return test::xml(QStringLiteral("<entities><ed_izmers><ed_izmer><ename>кг</ename><koef>1000</koef></ed_izmer>"
                                    "</ed_izmers><products>%1</products></entities>")
                         .arg(products));
}

QByteArray product(const QString& name, const QString& more = QString())
{
    return QStringLiteral("<product><pname>%1</pname><ename>кг</ename>%2</product>").arg(name, more).toUtf8();
}

// Every file left anywhere under a folder, with its path inside it.
QStringList allFiles(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

class ImportSafety : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("d.db"))));
        prompt.clear();
    }
    QString tempp() const { return QDir(app().appDir).filePath(QStringLiteral("Tempp")); }
    QString archive(const std::vector<ZipEntry>& entries, const QString& name = QStringLiteral("пакет.zip"))
    {
        const QString path = env.path(name);
        EXPECT_TRUE(test::writeZip(path, entries));
        return path;
    }
    ImportSummary import(const QString& zip)
    {
        StandardDataOptions options;
        options.stayTime = QStringLiteral("12");
        return ImportStandardData(db(), prompt, zip, options);
    }
};

TEST_F(ImportSafety, AnArchiveUnpackingToMoreThanTheLimitIsRefusedAndLeavesNothing)
{
    // 65 MB of zeros pack into a few kilobytes.
    const QString bomb = archive({{"Продукты.xml", productsXml(QString::fromUtf8(product("Соль")))},
                                  {"Сборник.xml", QByteArray(65 * 1024 * 1024, ' ')}});
    const ImportSummary s = import(bomb);
    EXPECT_EQ(prompt.messages(), QStringList{kTooLarge});
    EXPECT_FALSE(s.productsLoaded);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM products")), 0);
    EXPECT_EQ(allFiles(tempp()), QStringList());

    // The plan-menu import says the same and keeps nothing either.
    prompt.clear();
    EXPECT_EQ(ImportPlanMenuPackage(db(), prompt, bomb), -1);
    EXPECT_EQ(prompt.messages().value(0), kTooLarge);
    EXPECT_EQ(allFiles(tempp()), QStringList());
}

TEST_F(ImportSafety, TheLimitCountsEveryEntryTogether)
{
    const QString zip = archive({{"a.xml", QByteArray(600, 'a')}, {"b.xml", QByteArray(600, 'b')}});
    const QString folder = env.path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const UnpackResult within = extractArchive(zip, folder, 1200);
    EXPECT_EQ(within.code, unpackOk);
    EXPECT_EQ(within.files, (QStringList{"a.xml", "b.xml"}));

    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder));
    const UnpackResult over = extractArchive(zip, folder, 1000);
    EXPECT_EQ(over.code, unpackTooLarge);
    EXPECT_EQ(over.files, QStringList());
    EXPECT_EQ(test::filesIn(folder), QStringList());
}

TEST_F(ImportSafety, AnImportUsesAFolderOfItsOwnAndLeavesOtherImportsFilesAlone)
{
    // Files of another import running at the same time, in "Tempp" and in a folder of its own.
    ASSERT_TRUE(QDir().mkpath(tempp() + QStringLiteral("/import-other")));
    ASSERT_TRUE(test::writeFile(tempp() + QStringLiteral("/Продукты_чужие.xml"), productsXml(QString::fromUtf8(product("Чужой")))));
    ASSERT_TRUE(test::writeFile(tempp() + QStringLiteral("/import-other/Продукты.xml"), productsXml(QString::fromUtf8(product("Чужой")))));
    const QStringList others = allFiles(tempp());

    const ImportSummary s = import(archive({{"Продукты.xml", productsXml(QString::fromUtf8(product("Соль")))}}));
    EXPECT_TRUE(s.productsLoaded);
    EXPECT_EQ(prompt.messages(), QStringList());
    EXPECT_EQ(test::joinedRows(db(), QStringLiteral("SELECT pname FROM products"), {}, QStringLiteral(",")).toString(),
              QStringLiteral("Соль"));
    // Its own files are gone after it, the others' are untouched.
    EXPECT_EQ(allFiles(tempp()), others);
    EXPECT_EQ(QDir(tempp()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"import-other"});
}

// The bytes of a text in windows-1251.
QByteArray cp1251(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x80)
            out.append(char(u));
        else if (u >= 0x0410 && u <= 0x044F)
            out.append(char(0xC0 + (u - 0x0410)));
        else
            out.append('?');
    }
    return out;
}

QByteArray declared(const QString& encoding, const QByteArray& body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"") + encoding.toLatin1() + QByteArrayLiteral("\"?>") + body;
}

const QString kProductsBody = QStringLiteral(
    "<entities><products><product><pname>Картофель</pname></product><product><pname>Капуста</pname></product>"
    "</products></entities>");

TEST_F(ImportSafety, TextInAnotherCodePageThanDeclaredIsRefusedWholeAndTheRightOneLoads)
{
    struct Case {
        const char* label;
        QByteArray bytes;
        QString message;  // empty: loads
    };
    const QString mismatch = QStringLiteral(
        "warning: Обнаружены ошибки в формате файла. Текст файла не соответствует объявленной в нем кодировке %1. "
        "Файл не был открыт.");
    const std::vector<Case> cases = {
        {"windows-1251 declared as UTF-8", declared("UTF-8", cp1251(kProductsBody)), mismatch.arg("UTF-8")},
        {"windows-1251 with no declaration", cp1251(kProductsBody), mismatch.arg("UTF-8")},
        {"UTF-8 declared as windows-1251", declared("windows-1251", kProductsBody.toUtf8()), mismatch.arg("windows-1251")},
        {"an encoding the program does not read", declared("koi8-r", "<entities/>"),
         QStringLiteral("warning: Обнаружены ошибки в формате файла. Кодировка koi8-r не поддерживается. Файл не был открыт.")},
        {"windows-1251 declared so", declared("windows-1251", cp1251(kProductsBody)), QString()},
        {"UTF-8 declared so", declared("UTF-8", kProductsBody.toUtf8()), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        db().exec(QStringLiteral("DELETE FROM products"));
        prompt.clear();
        const ImportSummary s = import(archive({{"Продукты.xml", c.bytes}}));
        if (c.message.isEmpty()) {
            EXPECT_TRUE(s.productsLoaded);
            EXPECT_EQ(prompt.messages(), QStringList());
            EXPECT_EQ(test::joinedRows(db(), QStringLiteral("SELECT pname FROM products ORDER BY id"), {}, QStringLiteral(","))
                          .toString(),
                      QStringLiteral("Картофель,Капуста"));
        } else {
            EXPECT_FALSE(s.productsLoaded);
            EXPECT_EQ(prompt.messages(), QStringList{c.message});
            EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM products")), 0);
        }
    }
}

TEST_F(ImportSafety, AnItemWithANumberThatCannotBeStoredIsRefusedAndTheRestLoads)
{
    const QString products = QString::fromUtf8(
        product("Соль", "<fat>4,7 г</fat><time_storage>12</time_storage>") +
        product("Сахар", "<time_storage>99999999999999999999</time_storage>") + product("Мука", "<protein>nan</protein>") +
        product("Крупа", "<fat>1e400</fat>") + product("Рис", "<calories>много</calories>") + product("") +
        product("Мёд", "<vitamin_quantitys><vitamin_quantity><shname>C</shname><quantity>-</quantity>"
                       "</vitamin_quantity></vitamin_quantitys>") +
        product("Масло", "<fat>82,5</fat>"));
    const ImportSummary s = import(archive({{"Продукты.xml", productsXml(products)}}));
    EXPECT_TRUE(s.productsLoaded);
    const QString refused = QStringLiteral("warning: Элемент %1 содержит недопустимое значение \"%2\". Запись не загружена.");
    EXPECT_EQ(prompt.messages(), (QStringList{refused.arg("time_storage", "99999999999999999999"),
                                              refused.arg("protein", "nan"), refused.arg("fat", "1e400"),
                                              refused.arg("calories", "много"),
                                              "warning: Элемент pname пуст: продукт без названия не загружен.",
                                              refused.arg("quantity", "-")}));
    EXPECT_EQ(test::joinedRows(db(), QStringLiteral("SELECT pname || ':' || fat FROM products ORDER BY id"), {},
                               QStringLiteral(","))
                  .toString(),
              QStringLiteral("Соль:4.7,Масло:82.5"));
    // The refused honey left no vitamin row behind either.
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM vitamin_quantity")), 0);
}

} // namespace
