// Time to open a database file: a new one, and one holding ten years of a kindergarten's
// work. Prints the best and the median of N runs in milliseconds, then where the time of one
// opening goes, then one opening of a file with a few faults that the start-up check repairs,
// and one of a file from before the index the check reads.
//
//   bench_open [runs]    (10 runs when not given)

#include "BenchScan.h"
#include "BenchTiming.h"
#include "KindergartenData.h"

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/SchemaUpgrade.h"
#include "core/StartupCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace rat;

namespace {

// Wall-clock time, and the process's processor time: the machine may be shared, and the
// processor time of a run does not grow when other work takes the processors.
using bench::cpuMs;

class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart()
    {
        wall_.start();
        cpu_ = cpuMs();
    }
    double wallMs() const { return double(wall_.nsecsElapsed()) / 1e6; }
    double cpuMsSince() const { return cpuMs() - cpu_; }

private:
    QElapsedTimer wall_;
    double cpu_ = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Figures {
    std::vector<double> wall, cpu;

    void add(double wallMs, double cpuMs)
    {
        wall.push_back(wallMs);
        cpu.push_back(cpuMs);
    }
    void add(const Stopwatch& w) { add(w.wallMs(), w.cpuMsSince()); }
};

void print(const char* what, const Figures& f)
{
    std::printf("  %-44s best %7.1f ms  median %7.1f ms  (processor: best %7.1f ms)  %zu runs\n", what,
                *std::min_element(f.wall.begin(), f.wall.end()), median(f.wall),
                *std::min_element(f.cpu.begin(), f.cpu.end()), f.wall.size());
}

void line(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Where the time of one opening goes: the steps of DatabaseSession::openDatabase and of
// runStartupCheck, each timed on its own: the reads of the check (each table once; the sets and
// counts it builds from them are left out) and its statements, repeated here so that each can
// be timed; they are reads or run inside a rolled-back transaction, so the file is not changed.
struct StepTimer {
    std::vector<std::pair<const char*, Figures>> steps;

    void time(size_t i, const char* name, const std::function<void()>& fn)
    {
        if (steps.size() <= i)
            steps.emplace_back(name, Figures{});
        Stopwatch w;
        fn();
        steps[i].second.add(w);
    }
};

void timeSteps(const QString& path, int runs)
{
    SilentPrompt prompt;
    StepTimer st;
    auto distinctIds = [](Database& db, const char* sql) {
        Statement s(db, QString::fromLatin1(sql));
        qint64 n = 0;
        while (s.next())
            n += s.toInt64(0) != 0;
        return n;
    };
    for (int r = 0; r < runs; ++r) {
        size_t i = 0;
        std::unique_ptr<Database> db;
        st.time(i++, "open: connect + exclusive lock", [&] {
            db = std::make_unique<Database>(path, false);
            db->execScript(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;"));
        });
        st.time(i++, "open: version stamp", [&] { upgrade::fileVersion(*db); });
        st.time(i++, "open: verification of the base tables", [&] { upgrade::verifyBaseTables(*db, prompt); });
        st.time(i++, "open: upgrade (nothing to do) + commit", [&] {
            Transaction tx(*db);
            upgrade::upgradeFile(*db, prompt, true);
            tx.commit();
        });
        Transaction tx(*db);
        st.time(i++, "check: MENUTM read (IDM, day menu)", [&] {
            distinctIds(*db, "SELECT IDM, ID_day_menu FROM MENUTM");
        });
        st.time(i++, "check: MENUTR read", [&] { distinctIds(*db, "SELECT IDM FROM MENUTR"); });
        st.time(i++, "check: MENUTR_POINT keys, along its index", [&] {
            distinctIds(*db, "WITH RECURSIVE k(v) AS (SELECT (SELECT min(IDM) FROM MENUTR_POINT) UNION ALL "
                             "SELECT (SELECT min(IDM) FROM MENUTR_POINT WHERE IDM > k.v) FROM k WHERE k.v IS NOT NULL) "
                             "SELECT v FROM k WHERE v IS NOT NULL");
        });
        st.time(i++, "(the same keys from every line, without it)", [&] {
            distinctIds(*db, "SELECT IDM FROM MENUTR_POINT NOT INDEXED");
        });
        st.time(i++, "check: day_menu keys read", [&] { distinctIds(*db, "SELECT id FROM day_menu"); });
        st.time(i++, "check: one orphan removed (3 deletes)", [&] {
            for (const char* table : {"MENUTR_POINT", "MENUTM", "MENUTR"})
                db->exec(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table) + QStringLiteral(" WHERE IDM = ?1"),
                         {-1});
        });
        st.time(i++, "check: working copies found empty", [&] {
            for (const char* table : {"MENUTR1", "MENUTM1", "MENUTR_POINT1"})
                db->scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM ") + QString::fromLatin1(table) + QLatin1Char(')'));
        });
        st.time(i++, "check: recipes read (card, product)", [&] {
            distinctIds(*db, "SELECT id_card_recipes, id_product FROM recipes");
        });
        st.time(i++, "(full line test, run only on a suspect)", [&] {
            db->scalar(QStringLiteral("SELECT 1 FROM recipes GROUP BY id_card_recipes, id_product, brutto, netto, "
                                      "isComment, isVariant, id_MainCard, comment, isCard HAVING count(id) > 5 "
                                      "LIMIT 1"));
        });
        st.time(i++, "check: plan-menu entries read", [&] {
            distinctIds(*db, "SELECT id_day, id_eating, id_card_recipes, id_type_meal FROM plan_menu");
        });
        // The guard rolls back: the file stays as it was.
    }
    for (const auto& [name, f] : st.steps)
        print(name, f);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        line("cannot make a temporary folder");
        return 1;
    }
    SilentPrompt prompt;

    try {
        line("1. New file: createDatabase + start-up check");
        {
            Figures total;
            for (int r = 0; r < runs; ++r) {
                const QString path = tmp.filePath(QStringLiteral("new%1.db").arg(r));
                DatabaseSession session(prompt);
                Stopwatch w;
                if (!session.createDatabase(path)) {
                    line("the new file was refused");
                    return 1;
                }
                runStartupCheck(session.db(), prompt);
                total.add(w);
                session.close();
                QFile::remove(path);
            }
            print("create + open + check", total);
        }

        line("\n2. Ten years of a 300-child kindergarten");
        const bench::KindergartenSize size;
        const QString path = tmp.filePath(QStringLiteral("kindergarten.db"));
        {
            Stopwatch w;
            bench::createKindergartenFile(path, size);
            std::printf("  generated in %.0f ms, %.1f MB\n", w.wallMs(), double(QFileInfo(path).size()) / 1048576.0);
        }
        bench::TableCounts before;
        {
            Database db(path, false);
            before = bench::countRows(db);
        }
        std::printf("  %s\n", qPrintable(bench::describe(before)));

        // A copy with faults for the last measure, made before any opening touches the file.
        const QString faulty = tmp.filePath(QStringLiteral("faulty.db"));
        QFile::copy(path, faulty);
        const QString older = tmp.filePath(QStringLiteral("older.db"));
        QFile::copy(path, older);

        // The rows the check reads: the menu-requirements with their day menus, the recipe
        // lines and the plan-menu entries, read once each on a plain connection. The keys of the
        // requirement lines are read from the lines themselves, as the check did before it
        // walked their index, so that the ratio stays comparable from one version to the next.
        const std::vector<QString> scanned = {
            QStringLiteral("SELECT IDM, ID_day_menu FROM MENUTM"), QStringLiteral("SELECT id FROM day_menu"),
            QStringLiteral("SELECT IDM FROM MENUTR"), QStringLiteral("SELECT IDM FROM MENUTR_POINT NOT INDEXED"),
            QStringLiteral("SELECT id, id_card_recipes, id_product, brutto, netto, isComment, isVariant, id_MainCard, "
                           "comment, isCard FROM recipes"),
            QStringLiteral("SELECT id, id_day, id_eating, id_card_recipes, id_type_meal FROM plan_menu")};
        Figures open, check, total, close, scan;
        std::vector<double> ratio;
        for (int r = 0; r < runs; ++r) {
            DatabaseSession session(prompt);
            Stopwatch w;
            if (!session.openDatabase(path, false)) {
                line("the file was refused");
                return 1;
            }
            const double openedWall = w.wallMs(), openedCpu = w.cpuMsSince();
            runStartupCheck(session.db(), prompt);
            const double checkedWall = w.wallMs(), checkedCpu = w.cpuMsSince();
            session.close();
            open.add(openedWall, openedCpu);
            check.add(checkedWall - openedWall, checkedCpu - openedCpu);
            total.add(checkedWall, checkedCpu);
            close.add(w.wallMs() - checkedWall, w.cpuMsSince() - checkedCpu);
            Database plain(path, false);
            Stopwatch s;
            bench::scanRows(plain, scanned);
            scan.add(s);
            ratio.push_back(checkedWall / std::max(1e-3, s.wallMs()));
        }
        print("openDatabase (verify + upgrade)", open);
        print("runStartupCheck", check);
        print("open + check", total);
        print("close", close);
        print("bare scan of the checked tables", scan);
        std::printf("  open + check / bare scan: median %.1f\n", median(ratio));
        {
            Database db(path, false);
            const bool same = bench::countRows(db) == before;
            std::printf("  rows after the openings: %s\n", same ? "unchanged" : "CHANGED");
        }

        line("\n3. Steps of one opening of the same file");
        timeSteps(path, runs);

        line("\n4. A file with a few faults: first opening, which repairs them");
        int added = 0;
        {
            Database db(faulty, false);
            added = bench::addOrphans(db, size);
            // The two statements that remove repeated lines, timed here on their own and undone.
            Transaction undone(db);
            Stopwatch w;
            db.exec(QStringLiteral("DELETE FROM recipes WHERE id NOT IN (SELECT min(id) FROM recipes GROUP BY "
                                   "id_card_recipes, id_product, brutto, netto, isComment, isVariant, id_MainCard, "
                                   "comment, isCard)"));
            std::printf("  repeated recipe lines removed      %7.1f ms  (processor %7.1f ms)\n", w.wallMs(),
                        w.cpuMsSince());
            w.restart();
            db.exec(QStringLiteral("DELETE FROM plan_menu WHERE id NOT IN (SELECT min(id) FROM plan_menu GROUP BY "
                                   "id_day, id_eating, id_card_recipes, id_type_meal)"));
            std::printf("  repeated plan-menu entries removed %7.1f ms  (processor %7.1f ms)\n", w.wallMs(),
                        w.cpuMsSince());
        }
        {
            DatabaseSession session(prompt);
            Stopwatch w;
            if (!session.openDatabase(faulty, false)) {
                line("the file was refused");
                return 1;
            }
            const double opened = w.wallMs();
            runStartupCheck(session.db(), prompt);
            const double checked = w.wallMs(), checkedCpu = w.cpuMsSince();
            std::printf("  %d faulty rows: openDatabase %.1f ms, runStartupCheck %.1f ms, open + check %.1f ms "
                        "(processor %.1f ms)\n",
                        added, opened, checked - opened, checked, checkedCpu);
            const bool repaired = bench::countRows(session.db()) == before;
            std::printf("  rows after the repair: %s\n", repaired ? "as before the faults" : "DIFFERENT");
        }

        line("\n5. The same file from before the index of the requirement lines: first opening, which adds it");
        {
            {
                Database db(older, false);
                db.execScript(QStringLiteral("DROP INDEX [MENUTR_POINT.IDM]"));
            }
            DatabaseSession session(prompt);
            Stopwatch w;
            if (!session.openDatabase(older, false)) {
                line("the file was refused");
                return 1;
            }
            const double opened = w.wallMs();
            runStartupCheck(session.db(), prompt);
            std::printf("  openDatabase %.1f ms, open + check %.1f ms (processor %.1f ms)\n", opened, w.wallMs(),
                        w.cpuMsSince());
        }
    } catch (const DbError& e) {
        std::printf("database error %d: %s\n", e.code(), qPrintable(e.text()));
        return 1;
    }
    return 0;
}
