// One level's list file during an import run: parsed once, then updated in
// memory and written back after each imported material, so that every write
// holds all the materials added before it.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDomDocument>
#include <QDomNode>
#include <QString>

// The title that marks the group into which imported materials go.
inline constexpr char16_t kImportedGroupTitle[] = u"导入的材料";

// Written as each imported material's `texturl`; nothing reads it back.
inline constexpr char kDefaultTextUrl[] = "http://www.example.com/";

// Spaces per nesting level in a written list.
constexpr int kListIndentSpaces = 4;

struct [[nodiscard]] ListResult {
    enum class Status {
        Done,      // read, or written
        Unchanged, // the list has no group to hold a material: nothing written
        Failed,    // see `error`; the list file is as it was
    };
    Status status = Status::Done;
    QString error;

    bool failed() const { return status == Status::Failed; }
    static ListResult done() { return {}; }
    static ListResult unchanged() { return {Status::Unchanged, QString()}; }
    static ListResult failure(const QString& why) { return {Status::Failed, why}; }
};

class ListDocument {
    Q_DECLARE_TR_FUNCTIONS(ListDocument)

public:
    // Fails when the file does not exist, cannot be opened for reading and
    // writing, or is not well-formed XML.
    ListResult open(const QString& path);
    ListResult read(const QByteArray& bytes);

    // Appends the material to the imported group (made when missing) and
    // rewrites the list file atomically. A failed write leaves the file and
    // this document as they were.
    ListResult addMaterial(const QString& title, const QString& mediaFileName);

    // The in-memory half of addMaterial: false when there is no `train`.
    bool appendMaterial(const QString& title, const QString& mediaFileName);
    // The document in the encoding its declaration names (UTF-8 without
    // one); fails only when that encoding is unknown.
    ListResult encode(QByteArray* bytes) const;

    const QDomDocument& document() const { return doc; }

private:
    QDomElement importedGroup();
    ListResult write(const QByteArray& bytes) const;

    QString listPath;
    QDomDocument doc;
    QDomNode lastAppended; // removed again when its write fails
};
