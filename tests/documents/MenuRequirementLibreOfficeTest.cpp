// The printed menu-requirement opened in LibreOffice, recalculated there, gives the totals the
// program wrote as the formulas' values. Runs only where "soffice" is installed.

#include "documents/MenuRequirementPrintFixture.h"

#include "documents/MenuRequirementPrinting.h"
#include "documents/PrintFixture.h"
#include "documents/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace rat::test {
namespace {

// One CSV line into its fields (double quotes around fields holding a comma or a quote).
QStringList csvFields(const QString& line)
{
    QStringList out;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            out << field;
            field.clear();
        } else {
            field += c;
        }
    }
    out << field;
    return out;
}

class MenuRequirementLibreOffice : public MenuRequirementPrintFixture {};

TEST_F(MenuRequirementLibreOffice, RecalculatedTotalsMatch)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    for (auto layout : {documents::MenuRequirementLayout::Form299, documents::MenuRequirementLayout::Okud0504202}) {
        ASSERT_TRUE(installTemplate(documents::templateName(layout)));
        const auto printed = documents::printMenuRequirement(db(), prompt, {false, document}, layout, {});
        ASSERT_TRUE(printed && !printed->path.isEmpty());
        documents::XlsxReader ours;
        ASSERT_TRUE(ours.open(printed->path));

        // A profile of its own that recalculates every formula when a workbook is loaded.
        QTemporaryDir work;
        const QString profile = work.filePath(QStringLiteral("profile"));
        QDir().mkpath(profile + QStringLiteral("/user"));
        QFile xcu(profile + QStringLiteral("/user/registrymodifications.xcu"));
        ASSERT_TRUE(xcu.open(QIODevice::WriteOnly));
        xcu.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                  "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                  "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop oor:name=\"OOXMLRecalcMode\" "
                  "oor:op=\"fuse\"><value>0</value></prop></item>\n</oor:items>\n");
        xcu.close();
        const QString input = work.filePath(QStringLiteral("form.xlsx"));
        ASSERT_TRUE(QFile::copy(printed->path, input));
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                          QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                          QStringLiteral("--outdir"), work.path(), input});
        ASSERT_TRUE(p.waitForFinished(180000));
        QFile csv(work.filePath(QStringLiteral("form.csv")));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));

        int formulas = 0;
        for (int row = 1; row <= ours.lastRow(); ++row) {
            const QStringList theirs = csvFields(lines.value(row - 1).trimmed());
            for (int col = 1; col <= ours.lastColumn(); ++col) {
                if (ours.formula(row, col).isEmpty())
                    continue;
                ++formulas;
                bool ok = false;
                const double shown = theirs.value(col - 1).toDouble(&ok);
                ASSERT_TRUE(ok) << row << ":" << col << " " << theirs.value(col - 1).toStdString();
                // LibreOffice writes what the cell shows: money with two decimals.
                EXPECT_LE(std::fabs(shown - ours.number(row, col).value_or(NAN)), 0.0051)
                    << row << ":" << col << " " << ours.formula(row, col).toStdString();
            }
        }
        EXPECT_GT(formulas, 20);
        const auto total = ours.find(QStringLiteral("Итого на сумму"));
        ASSERT_TRUE(total);
        bool found = false;
        for (const QString& f : csvFields(lines.value(total->first - 1)))
            found = found || f == QStringLiteral("348.35");
        EXPECT_TRUE(found) << lines.value(total->first - 1).toStdString();
    }
}

} // namespace
} // namespace rat::test
