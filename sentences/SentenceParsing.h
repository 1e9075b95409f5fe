// A sentence file as the reader and the rewriter both see it: its lines, its
// sentences, and the LRC offset that a rewritten tag must add back.
#pragma once

#include "SentenceFile.h"
#include "TextDocument.h"

#include <optional>

struct ParsedDocument {
    TextDocument doc;
    SentenceFile file;
    qint64 offsetMs = 0;
};

ParsedDocument parseDocument(const QByteArray& bytes, SentenceFormat format);

// Reads a file and parses it in the format its extension and content give;
// nothing, with a reason, when it cannot be read or holds no sentence.
std::optional<ParsedDocument> loadDocument(const QString& path, QString* error);
