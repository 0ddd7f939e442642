// Fuzz target: the package loader. The bytes are read as a package file (encoding check, XML
// parse) and, when they parse, loaded as a products, norms and collection package into a
// scratch database inside a transaction that is rolled back. Refusals are messages, never a
// crash or an engine error escaping.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <pugixml.hpp>


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static rat::SilentPrompt prompt;
    static rat::DatabaseSession session(prompt);
    if (!session.isOpen() && !session.createDatabase(dir.filePath(QStringLiteral("fuzz.db"))))
        std::abort();

    QByteArray utf8;
    if (!rat::exchange::packageText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), utf8))
        return 0;
    pugi::xml_document doc;
    if (!doc.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default, pugi::encoding_utf8))
        return 0;
    const pugi::xml_node root = doc.document_element();
    rat::Database& db = session.db();
    rat::exchange::ImportContext ctx(db, prompt);
    try {
        rat::Transaction tx(db);  // never committed
        rat::exchange::loadProductsPackage(ctx, root);
        rat::exchange::loadNormsPackage(ctx, root);
        rat::exchange::loadCollectionEaterTypes(ctx, root);
        rat::exchange::loadRecipes(ctx, root);
    } catch (const rat::exchange::PackageItemRefused&) {
    } catch (const rat::DbError&) {
        // The loader's own transaction takes care of these; they are not crashes.
    }
    return 0;
}
