// The standard data of the folder "Примеры": choosing a package and importing it into a new
// or open database.

#include "exchange/StandardData.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/ShippedFolders.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"
#include "exchange/Unpack.h"
#include "exchange/UnpackedArchive.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <pugixml.hpp>

namespace rat::exchange {

namespace {

const QString kProductsWord = QStringLiteral("Продукты");
const QString kNormsWord = QStringLiteral("СанПиН");
const QString kCollectionWord = QStringLiteral("Сборник");

const QString kBooksNotFilled = QStringLiteral("Не заполнены справочники.");
const QString kCardsNotFilled = QStringLiteral("Не заполнены справочники технологических карт.");
const QString kFileNotFound = QStringLiteral("Файл не был найден.");
const QString kPlanStructure = QStringLiteral("Структура выбранного файла не соответствует файлу идеального меню. "
                                              "Выберите, пожалуйста, файл Menu_deti_3-7.zip");
const QString kPlanNotImported = QStringLiteral("Импорт идеального меню не выполнен");

bool isMainCollection(const QString& name)
{
    return name.startsWith(QStringLiteral("178 блюд, мет. указания, Москва"));
}

// Loads one package file: parse errors and a foreign document element are told and skip it;
// an engine error rolls the package back whole.
template <typename Load>
bool loadPackage(ImportContext& ctx, const QString& path, const QString& notFilled, Load&& load)
{
    pugi::xml_document doc;
    if (!loadPackageFile(path, doc, ctx.prompt()))
        return false;
    const pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "entities") {
        ctx.prompt().warning(notFilled);
        return false;
    }
    try {
        Transaction tx(ctx.db());
        load(root);
        tx.commit();
        return true;
    } catch (const DbError& e) {
        ctx.forgetAll();
        ctx.prompt().warning(QStringLiteral("Произошла ошибка при загрузке файла ") + QFileInfo(path).fileName() +
                             QStringLiteral(". Ошибка: ") + QString::number(e.code()) + QLatin1Char(' ') + e.text() +
                             QLatin1Char('.'));
        ctx.prompt().warning(notFilled);
        return false;
    } catch (const PackageItemRefused& refused) {
        // A value outside any item the loader can skip: nothing of the file is kept.
        ctx.forgetAll();
        ctx.prompt().warning(refused.message());
        ctx.prompt().warning(notFilled);
        return false;
    }
}

QString examplesFolder()
{
    return shippedFolder(QStringLiteral("Примеры"));
}

QString identityText(const pugi::xml_document& doc, const char* name)
{
    // The identifying elements stand first in `entities`; any other of that name is further in.
    const pugi::xml_node root = doc.document_element();
    pugi::xml_node n = root.child(name);
    if (!n)
        n = doc.select_node((std::string("//") + name).c_str()).node();
    return nodeText(n);
}

} // namespace

QStringList knownRegulations()
{
    return {QStringLiteral("СанПиН 2.3/2.4.3590-20"), QStringLiteral("СП 2.4.990-00"), QStringLiteral("СанПиН 2.4.5.2409-08"),
            QStringLiteral("СанПиН 2.4.4.3155-13"), QStringLiteral("Постановление 07.11.2005 № 659"),
            QStringLiteral("СанПиН 2.4.1201-03"), QStringLiteral("СанПиН 2.4.3259-15"), QStringLiteral("СанПиН 2.4.2.3286-15")};
}

QString defaultRegulation()
{
    return knownRegulations().front();
}

QString stayTimeText(int stayCode)
{
    switch (stayCode) {
    case 0: return QStringLiteral("9");
    case 1: return QStringLiteral("12");
    default: return QStringLiteral("24");
    }
}

QString FindPackage(const QString& kind, const QString& regulation, const QString& stayTime, Prompt* prompt,
                    const QString& folder)
{
    const QDir dir(folder.isEmpty() ? scratchFolder() : folder);
    const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        if (!f.contains(kind, Qt::CaseInsensitive))
            continue;
        const QString path = dir.filePath(f);
        if (!QFileInfo::exists(path))
            continue;
        if (regulation.isEmpty() && stayTime.isEmpty())
            return path;
        pugi::xml_document doc;
        if (!(prompt ? loadPackageFile(path, doc, *prompt) : parsePackageFile(path, doc)))
            continue;
        if (!regulation.isEmpty() && identityText(doc, "sanpin") != regulation.trimmed())
            continue;
        if (!stayTime.isEmpty() && identityText(doc, "time") != stayTime.trimmed())
            continue;
        return path;
    }
    return {};
}

ImportSummary ImportStandardData(Database& db, Prompt& prompt, const QString& archive, const StandardDataOptions& options)
{
    ImportSummary summary;
    if (archive.isEmpty() || !QFileInfo(archive).isFile()) {
        prompt.status(kCardsNotFilled);
        prompt.warning(kFileNotFound);
        return summary;
    }
    const UnpackedArchive unpacked(archive, prompt);
    const QString folder = unpacked.folder();
    ImportContext ctx(db, prompt);

    const QString products = FindPackage(kProductsWord, QString(), QString(), nullptr, folder);
    if (!products.isEmpty())
        summary.productsLoaded = loadPackage(ctx, products, kBooksNotFilled,
                                             [&](const pugi::xml_node& root) { loadProductsPackage(ctx, root); });

    if (!options.regulation.isEmpty()) {
        const QString norms = FindPackage(kNormsWord, options.regulation, options.stayTime, &prompt, folder);
        if (!norms.isEmpty())
            summary.normsLoaded = loadPackage(ctx, norms, kCardsNotFilled,
                                              [&](const pugi::xml_node& root) { loadNormsPackage(ctx, root); });
    }

    const QString collection = FindPackage(kCollectionWord, QString(), QString(), nullptr, folder);
    if (!collection.isEmpty())
        summary.collectionLoaded = loadPackage(ctx, collection, kCardsNotFilled, [&](const pugi::xml_node& root) {
            loadCollectionEaterTypes(ctx, root);
            summary.cards = loadRecipes(ctx, root);
            if (options.withPlans)
                summary.planRows = loadPlans(ctx, root, options.cycleDays);
        });
    if (!summary.collectionLoaded) {
        summary.cards = 0;
        summary.planRows = 0;
    }
    return summary;
}

std::vector<RecipeCollection> listRecipeCollections(Prompt& prompt)
{
    std::vector<RecipeCollection> out;
    const QString folder = examplesFolder();
    const QDir dir(folder);
    if (!dir.exists()) {
        prompt.critical(QStringLiteral("Не найдена папка Примеры."));
        return out;
    }
    for (const QString& f : dir.entryList({QStringLiteral("*.zip")}, QDir::Files, QDir::Name)) {
        const QString archive = dir.filePath(f);
        const UnpackedArchive unpacked(archive, prompt);
        const QString package = FindPackage(kCollectionWord, QString(), QString(), nullptr, unpacked.folder());
        if (package.isEmpty())
            continue;
        pugi::xml_document doc;
        QString name;
        if (parsePackageFile(package, doc))
            name = collectionName(doc.document_element());
        if (name.isEmpty())
            name = QFileInfo(f).completeBaseName();
        out.push_back({archive, name});
    }
    if (out.empty()) {
        prompt.critical(QStringLiteral("В папке \"") + QDir::toNativeSeparators(folder) +
                        QStringLiteral("\" нет ни одного подходящего файла!"));
        return out;
    }
    std::stable_sort(out.begin(), out.end(), [](const RecipeCollection& a, const RecipeCollection& b) {
        return isMainCollection(a.name) && !isMainCollection(b.name);
    });
    return out;
}

QString joinCollectionNames(const std::vector<RecipeCollection>& list)
{
    QStringList names;
    for (const RecipeCollection& c : list)
        names << c.name;
    return names.join(QStringLiteral("***/"));
}

QString ListRecipeCollections(Prompt& prompt)
{
    return joinCollectionNames(listRecipeCollections(prompt));
}

int ImportPlanMenuPackage(Database& db, Prompt& prompt, const QString& archive)
{
    if (archive.isEmpty() || !QFileInfo(archive).isFile()) {
        prompt.warning(kFileNotFound);
        prompt.status(kPlanNotImported);
        return -1;
    }
    const UnpackedArchive unpacked(archive, prompt);
    const QString path = FindPackage(kCollectionWord, QString(), QString(), nullptr, unpacked.folder());
    pugi::xml_document doc;
    if (!path.isEmpty() && !loadPackageFile(path, doc, prompt)) {
        prompt.status(kPlanNotImported);
        return -1;
    }
    if (path.isEmpty() || std::string_view(doc.document_element().name()) != "entities" ||
        !doc.select_node("/entities/plans/planStr")) {
        prompt.warning(kPlanStructure);
        prompt.status(kPlanNotImported);
        return -1;
    }
    ImportContext ctx(db, prompt);
    try {
        Transaction tx(db);
        const int rows = loadPlans(ctx, doc.document_element());
        tx.commit();
        return rows;
    } catch (const DbError& e) {
        prompt.warning(QStringLiteral("Произошла ошибка при загрузке файла ") + QFileInfo(path).fileName() +
                       QStringLiteral(". Ошибка: ") + QString::number(e.code()) + QLatin1Char(' ') + e.text() +
                       QLatin1Char('.'));
        prompt.status(kPlanNotImported);
        return -1;
    }
}

} // namespace rat::exchange
