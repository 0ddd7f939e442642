#pragma once
// The kinds of document the document window edits: the day menu, the product norm and the
// stock documents. The window is generic (header fields, validation, the line grid, the
// toolbar, closing); everything that differs per kind sits behind DocumentKind, one class per
// kind, so that the lines and confirmations of a kind plug in without touching the window.

#include "refbooks/BookCatalogue.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class DocumentWindow;

// Codes the journals pass when they open a document.
enum DocumentCode : int {
    docNorm = 8,
    docDayMenu = 11,
    docExpense = 22,
    docReceipt = 24,
    docWriteOff = 25,
    docOrder = 28,
};

enum class DocumentMode { New, Edit, Copy };

// One header field. Its caption is what the validation messages quote.
struct HeaderField {
    enum class Kind {
        List,     // a reference: a drop-down list of a list source or of fixed items
        Check,    // a flag, stored -1 / 0
        Text,     // one line of text
        Number,   // a number typed with "." or ","
        Time,     // "HH:mm"
        Date,     // a date picker
        Comment,  // "Комментарий:", several lines
        Info,     // shown, not edited (the plan-menu days of a day menu)
    };
    QString field;             // column of the header table; the control's object name
    QString caption;
    Kind kind = Kind::Text;
    books::ListSource source = books::ListSource::None;
    std::vector<books::ListItem> items;  // a list of fixed items (the cost bases)
    bool required = false;
    bool unique = false;       // no other row of the table may have the value
    bool number = false;       // the document number: a duplicate offers the next free one
    bool editable = false;     // a list that also takes a new text (the norm group)
    bool stored = true;        // false: the kind keeps the value itself
    bool bookForm = false;     // uniqueness in the words of a reference book
    int limit = 0;             // maximum length of a text
};

using HeaderValues = QVariantMap;  // by HeaderField::field

// The lines of a document as the grid shows them.
struct LineSet {
    QStringList captions;
    std::vector<QStringList> rows;
    std::vector<int> rightAligned;  // column indexes of numbers
    int nameColumn = 0;             // the dish or product: kept wide enough to read
    int entryColumn = -1;           // what the person types (the count): shown bold
    QString hint;                   // the grid's tool tip
    QString totalLabel;
};

class DocumentKind {
public:
    virtual ~DocumentKind() = default;

    virtual int code() const = 0;
    virtual QString caption() const = 0;      // "Меню на день"
    virtual QString table() const = 0;        // header table
    virtual QString key() const { return QStringLiteral("id"); }
    // "документ", or "норму" for a norm: the question before the first line command.
    virtual QString noun() const { return QStringLiteral("документ"); }

    virtual std::vector<HeaderField> fields(Database& db) = 0;

    // Header values. read(): nothing when the record no longer exists.
    virtual std::optional<HeaderValues> read(Database& db, qint64 id);
    virtual HeaderValues defaults(Database& db);
    // Copy mode: the source's values as the new document starts with them.
    virtual HeaderValues copied(Database& db, const HeaderValues& source);

    // The values the window starts with (after presets and copying), before anything is shown.
    virtual void opened(const HeaderValues& values);

    // The text of a field shown but not edited (the plan-menu days of a day menu).
    virtual QString shownText(Database& db, const QString& field, const QVariant& value) const;

    // The window caption; `id` is the saved document (nothing for a new one).
    virtual QString title(const HeaderValues& values, std::optional<qint64> id) const;

    // The values typed in the header, before the checks of a save look at them one by one.
    virtual void headerTyped(const HeaderValues& values) { (void)values; }
    // The number check of saving: a number another document already has offers the next free
    // one; false returns to the field. The number may be replaced.
    virtual bool checkNumber(Database& db, Prompt& prompt, const HeaderField& field, QString& number,
                             std::optional<qint64> id);
    virtual QString nextNumber(Database& db);
    // Writes the header (after the window's checks); returns its key, nothing when refused.
    virtual std::optional<qint64> save(Database& db, Prompt& prompt, HeaderValues& values, std::optional<qint64> id);

    // Lines of a saved document (a new one: an empty set with the captions). A preview shows
    // the source of a copy before the copy is saved and writes nothing.
    virtual LineSet lines(Database& db, std::optional<qint64> id, bool preview) = 0;

    // Copy mode: whether the source has lines and the question asked before copying them.
    virtual bool hasLines(Database& db, qint64 id) = 0;
    virtual QString copyQuestion() const = 0;
    virtual void copyLines(Database& db, qint64 sourceId, qint64 targetId);

    // Line commands; the document has been saved before they run. Each returns true when the
    // lines changed. The defaults say the function is not in this version of the program.
    virtual bool addLine(DocumentWindow& w);
    virtual bool editLine(DocumentWindow& w, int row);
    virtual bool copyLine(DocumentWindow& w, int row);
    virtual bool deleteLines(DocumentWindow& w, const std::vector<int>& rows);
    virtual bool deleteAllLines(DocumentWindow& w);
    // Moves the line; returns the row that is current afterwards (-1: nothing to move).
    virtual std::optional<int> moveLine(DocumentWindow& w, int row, int direction);
    virtual bool canMove() const { return false; }
    virtual bool canPrint() const { return false; }
    virtual void print(DocumentWindow& w);

    // A header value changed (the cost basis of a day menu re-reads the lines). True when the
    // kind has stored the value itself, so that nothing is left unsaved.
    virtual bool headerChanged(DocumentWindow& w, const QString& field);

    // OK after the header was saved: true when the window closes.
    virtual bool confirm(DocumentWindow& w);

    // Cancelling a document that was saved only for its lines (a new norm).
    virtual void discardNew(Database& db, qint64 id);
    virtual bool discardsNewOnCancel() const { return false; }

    // Shown once when the window is first activated.
    virtual void activated(DocumentWindow& w);
};

// The kind of a code; null for a code the window does not know.
std::unique_ptr<DocumentKind> makeDocumentKind(int code);
std::vector<int> documentCodes();

} // namespace rat::ui
