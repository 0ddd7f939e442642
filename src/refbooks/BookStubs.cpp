// Temporary bodies so the interface builds; replaced by the implementation files.
#include "refbooks/BookActions.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"
#include "refbooks/RecordEditor.h"

namespace rat::books {

std::vector<ListItem> listItems(Database&, ListSource, const QVariant&) { return {}; }
QString listText(Database&, ListSource, const QVariant&, const QVariant&) { return {}; }
const BookDef* findBook(int) { return nullptr; }
std::vector<int> bookEntries() { return {}; }
QString currencyShortName(Database&) { return {}; }
ResolvedBook resolveBook(Database&, const BookDef& def) { ResolvedBook r; r.def = &def; return r; }
std::vector<std::pair<qint64, QString>> vitaminsOf(Database&, VitaminSet) { return {}; }

int BookList::rowOf(qint64 id) const
{
    for (int i = 0; i < rowCount(); ++i)
        if (ids[size_t(i)] == id)
            return i;
    return -1;
}
BookList loadList(Database& db, int entry, std::optional<qint64> parentId) { return loadList(db, entry, ListFilter{parentId, {}}); }
BookList loadList(Database&, int entry, const ListFilter&) { BookList l; l.entry = entry; return l; }
std::vector<ListItem> parentItems(Database&, int, const QVariant&) { return {}; }
QString displayNumber(const QVariant&, int) { return {}; }
void registerListLoader(int, ListLoader) {}

SaveContext::SaveContext(Database& d, Prompt& p, const ResolvedBook& b, EditMode m, std::optional<qint64> i,
                         std::optional<qint64> parent)
    : db(d), prompt(p), book(b), mode(m), id(i), parentId(parent)
{
}
QVariant SaveContext::value(const QString&) const { return {}; }
void SaveContext::setValue(const QString&, const QVariant&) {}
bool SaveContext::has(const QString&) const { return false; }
QString SaveContext::shownText(const QString&) const { return {}; }
QString SaveContext::caption(const QString&) const { return {}; }
void addBookRules(int, BookRules) {}
const std::vector<BookRules>& bookRules(int) { static const std::vector<BookRules> none; return none; }

RecordEditor::RecordEditor(Database& db, Prompt& prompt, int entry) : db_(db), prompt_(prompt), entry_(entry) {}
bool RecordEditor::open(EditMode, std::optional<qint64>, std::optional<qint64>) { return false; }
int RecordEditor::fieldIndex(const QString&) const { return -1; }
QString RecordEditor::caption() const { return {}; }
QVariant RecordEditor::value(int) const { return {}; }
void RecordEditor::setValue(int, const QVariant&) {}
bool RecordEditor::setValue(const QString&, const QVariant&) { return false; }
bool RecordEditor::setText(const QString&, const QString&) { return false; }
std::vector<ListItem> RecordEditor::items(int) const { return {}; }
std::optional<qint64> RecordEditor::save() { return std::nullopt; }
bool RecordEditor::confirmClose() { return true; }
bool RecordEditor::acceptTyping(int, const QString&) { return true; }
QVariant RecordEditor::paramOf(const EditorField&) const { return {}; }
QString numericTypingProblem(const QString&) { return {}; }

DeleteResult deleteRows(Database&, Prompt&, int, const std::vector<qint64>&) { return {}; }
std::vector<SearchColumn> searchColumns(Database&, int) { return {}; }
bool BookSearch::canStart(Database&, Prompt&, int, const BookList&) { return false; }
std::optional<int> BookSearch::findNext(Prompt&, const BookList&, int) { return std::nullopt; }
bool BookSearch::matches(const BookList&, int) const { return false; }
bool includeAllVitamins(Database&, Prompt&) { return false; }

} // namespace rat::books
