// The record editor refuses a text its column cannot hold as typed: longer than the column's
// size, or a line break or another control character in a one-line name.

#include "core/Database.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class RecordEditorText : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("text.db"))));
        prompt.clear();
    }

    std::optional<qint64> saveVitamin(const QString& name, const QString& shortName)
    {
        RecordEditor editor(db(), prompt, entryVitamins);
        if (!editor.open(EditMode::Add))
            return std::nullopt;
        EXPECT_TRUE(editor.setText(QStringLiteral("vname"), name));
        EXPECT_TRUE(editor.setText(QStringLiteral("shname"), shortName));
        return editor.save();
    }
};

TEST_F(RecordEditorText, TooLongAndControlCharactersAreRefusedWithAMessageAndNothingIsWritten)
{
    const QStringList before = dump(QStringLiteral("vitamin"));
    const QString controls = QStringLiteral(
        "warning: Поле \"%1\" не может содержать переводы строк и другие управляющие символы. Измените введенное значение.");
    struct Case {
        QString name, shortName, message;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Витамин D"), QStringLiteral("D3-холекальциферол"),
         QStringLiteral("warning: Значение поля \"Краткое наименование\" длиннее допустимых 10 знаков. Сократите "
                        "введенное значение.")},
        {QStringLiteral("Витамин\nD"), QStringLiteral("D"), controls.arg(QStringLiteral("Наименование"))},
        {QStringLiteral("Витамин D"), QStringLiteral("D\t3"), controls.arg(QStringLiteral("Краткое наименование"))},
        {QStringLiteral("Витамин") + QChar(0x2028) + QStringLiteral("D"), QStringLiteral("D"),
         controls.arg(QStringLiteral("Наименование"))},
        {QStringLiteral("Витамин D") + QString(250, QLatin1Char('!')), QStringLiteral("D"),
         QStringLiteral("warning: Значение поля \"Наименование\" длиннее допустимых 255 знаков. Сократите введенное "
                        "значение.")},
    };
    for (const Case& c : cases) {
        prompt.clear();
        EXPECT_FALSE(saveVitamin(c.name, c.shortName));
        EXPECT_EQ(prompt.messages(), QStringList{c.message});
    }
    EXPECT_EQ(dump(QStringLiteral("vitamin")), before);

    // Exactly the size, with the blanks around it trimmed, is fine.
    prompt.clear();
    ASSERT_TRUE(saveVitamin(QStringLiteral(" Витамин D "), QStringLiteral("0123456789")));
    EXPECT_EQ(prompt.messages(), QStringList());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT vname || '|' || shname FROM vitamin ORDER BY id DESC LIMIT 1")).toString(),
              QStringLiteral("Витамин D|0123456789"));
}

} // namespace
