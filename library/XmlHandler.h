// Reading a material list ("basiclist.xml" and its siblings) into a tree:
// one row per `train` (group), `case` (material) and `separator`, nested as
// the elements are. A QXmlStreamReader drives the handler's callbacks.
#pragma once

#include <QCoreApplication>
#include <QIcon>
#include <QString>
#include <QStringList>

class QIODevice;
class QTreeWidget;
class QTreeWidgetItem;
class QXmlStreamAttributes;

// Where the review marks come from: a material whose `learned` attribute
// names a directory here is marked "复习".
inline constexpr char kReviewFolder[] = "./workspace/train/";

// Deepest nesting of elements that a list may have. Rows are freed
// recursively, so a list nested thousands deep would overflow the stack.
constexpr int kMaxListDepth = 256;

// Number of middle dots (U+00B7) that draw a separator row.
constexpr int kSeparatorDots = 30;

enum class ParseErrorReport {
    MessageBox, // the learner is told over the tree's window which list is broken
    Silent,     // the error is only kept (fuzzing, callers with their own report)
};

struct ListParseError {
    qint64 line = 0;
    qint64 column = 0;
    QString message;
};

class XmlHandler {
    Q_DECLARE_TR_FUNCTIONS(XmlHandler)

public:
    // `listPath` names the file in the learner's message.
    explicit XmlHandler(QTreeWidget* tree, ParseErrorReport report = ParseErrorReport::MessageBox,
                        const QString& listPath = QString());

    // Reads the whole device. False after a fatal error, which has then been
    // reported; the rows made before it stay in the tree.
    [[nodiscard]] bool parse(QIODevice* device);

    bool startElement(const QString& qName, const QXmlStreamAttributes& attributes);
    bool endElement(const QString& qName);
    bool characters(const QString& text);
    QString errorString() const { return errorText; }
    bool fatalError(const ListParseError& error);

    const ListParseError& lastError() const { return parseError; }

private:
    QTreeWidgetItem* newRow();
    bool isReviewed(const QString& learned);

    QTreeWidget* targetTree;
    QTreeWidgetItem* currentItem = nullptr;
    QString pendingText;
    QString errorText;
    bool rootSeen = false;
    int depth = 0; // elements open
    QIcon groupIcon;
    QIcon materialIcon;

    ParseErrorReport errorReport;
    QString listPath;
    ListParseError parseError;
    // Listed once per parse, at the first material that asks.
    QStringList reviewNames;
    bool reviewNamesRead = false;
};

// Clears the tree and reads the list file into it. A missing or unreadable
// file is reported like an empty one. False when the parse failed.
[[nodiscard]] bool loadListFile(QTreeWidget* tree, const QString& path,
                                ParseErrorReport report = ParseErrorReport::MessageBox);
