// Time to create and fill a new database from the standard-data archives of "Примеры" beside
// this program (the build's application folder): the whole fill as the headless tool does it,
// then where the time goes (the file and its layout, the unpacking, each package). Prints the
// best and the median of N runs in milliseconds, wall clock and processor time.
//
//   bench_newdb [runs] [application folder]    (5 runs, the folder of this program)

#include "BenchTiming.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "exchange/NewDatabase.h"
#include "exchange/StandardData.h"
#include "exchange/Unpack.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace rat;

namespace {

using bench::cpuMs;

struct Times {
    std::vector<double> wall, cpu;
    void add(double w, double c)
    {
        wall.push_back(w);
        cpu.push_back(c);
    }
};

double best(std::vector<double> v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void print(const char* what, const Times& t)
{
    std::printf("%-34s wall best %8.1f  median %8.1f   cpu best %8.1f  median %8.1f\n", what, best(t.wall),
                median(t.wall), best(t.cpu), median(t.cpu));
}

template <typename F>
void timed(Times& t, F&& f)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuMs();
    f();
    t.add(double(wall.nsecsElapsed()) / 1e6, cpuMs() - cpu);
}

qint64 count(Database& db, const char* table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM [") + QString::fromLatin1(table) + QLatin1Char(']')).toLongLong();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir tmp;
    Settings::useFolder(tmp.filePath(QStringLiteral("settings")));
    app().appDir = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                            : QCoreApplication::applicationDirPath();

    SilentPrompt quiet;
    const std::vector<exchange::RecipeCollection> collections = exchange::listRecipeCollections(quiet);
    QString archive = collections.empty() ? QString() : collections.front().archive;
    if (archive.isEmpty()) {
        // No collection yet: the fill imports nothing, the parts are timed on the first archive.
        const QDir examples(QDir(app().appDir).filePath(QStringLiteral("Примеры")));
        const QStringList zips = examples.entryList({QStringLiteral("*.zip")}, QDir::Files, QDir::Name);
        if (zips.isEmpty()) {
            std::fprintf(stderr, "bench_newdb: no archive in %s\n", qPrintable(examples.path()));
            return 1;
        }
        archive = examples.filePath(zips.front());
        std::printf("no archive holds a recipe collection: the whole fill imports nothing\n");
    }
    std::printf("archive: %s (%s), %d run(s)\n", qPrintable(QFileInfo(archive).fileName()),
                collections.empty() ? "-" : qPrintable(collections.front().name), runs);

    Times whole, layout, unpack, import;
    for (int i = 0; i < runs; ++i) {
        const QString path = tmp.filePath(QStringLiteral("whole%1.db").arg(i));
        DatabaseSession session(quiet);
        exchange::NewDatabaseRequest request;
        request.prompt = &quiet;
        bool ok = false;
        timed(whole, [&] { ok = exchange::createAndFillNewDatabase(session, path, request); });
        if (!ok) {
            std::fprintf(stderr, "bench_newdb: the fill failed\n");
            return 1;
        }
        if (i == 0) {
            Database& db = session.db();
            std::printf("rows: products %lld, vitamin quantities %lld, cards %lld, recipe lines %lld, outputs %lld, "
                        "plan-menu %lld, norms %lld, norm meals %lld, substitutes %lld; file %.0f KB\n",
                        count(db, "products"), count(db, "vitamin_quantity"), count(db, "card_recipes"),
                        count(db, "recipes"), count(db, "output"), count(db, "plan_menu"), count(db, "norms"),
                        count(db, "NORMS_POINT"), count(db, "replace"), double(QFileInfo(path).size()) / 1024.0);
        }

        // The same steps one by one.
        DatabaseSession parts(quiet);
        const QString partPath = tmp.filePath(QStringLiteral("parts%1.db").arg(i));
        timed(layout, [&] { parts.createDatabase(partPath); });
        timed(unpack, [&] { exchange::UnpackArchive(archive, quiet); });
        exchange::StandardDataOptions options;
        options.regulation = exchange::defaultRegulation();
        options.stayTime = exchange::stayTimeText(request.answers.stayCode);
        options.cycleDays = request.answers.cycleDays;
        timed(import, [&] { exchange::ImportStandardData(parts.db(), quiet, archive, options); });
    }
    print("create and fill, whole", whole);
    print("  file with the full layout", layout);
    print("  unpacking the archive", unpack);
    print("  import (unpack again + packages)", import);
    std::printf("target: whole fill under 1000 ms\n");
    return 0;
}
