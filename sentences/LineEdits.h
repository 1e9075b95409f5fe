// Changes to the lines of a document, turned into the new bytes of its file.
// Lines that no change touches are copied as the bytes they were read from;
// changed lines keep their own terminator, new lines get the file's.
#pragma once

#include "TextDocument.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <optional>

class LineEdits {
public:
    explicit LineEdits(const TextDocument& doc);

    QString text(int line) const; // as changed so far
    void replace(int line, const QString& text);
    void remove(int line);
    void insertAfter(int line, const QString& text); // after earlier insertions at the same place

    // The new file; nothing, with a reason, when the encoding cannot hold a changed line.
    std::optional<QByteArray> bytes(QString* error) const;

private:
    const TextDocument& m_doc;
    QHash<int, QString> m_replaced;
    QSet<int> m_removed;
    QMap<int, QStringList> m_inserted;
};
