// A text file as lines: the decoded text of each line for the parsers, and the
// bytes it came from, so that a rewrite hands back every line it does not
// change byte for byte, whatever the encoding and however broken the bytes.
#pragma once

#include "SentenceFile.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <optional>

struct LineBytes {
    qsizetype from = 0; // first byte of the line
    qsizetype size = 0; // bytes of its text
    qsizetype endSize = 0; // bytes of its terminator; 0 for a last line without one
};

struct TextDocument {
    QByteArray bytes;
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype bomSize = 0;
    QVector<LineBytes> spans;
    QStringList lines; // decoded, without terminators
    QByteArray lineEnd; // what a new line ends with: the file's first terminator, else "\n"
};

// Byte-order mark first, then strict UTF-8, then GB18030 or Windows-1252,
// whichever reads as real text. Lines end at "\n", "\r\n" or a lone "\r".
TextDocument decodeDocument(const QByteArray& bytes);

// The text in the encoding; nothing when the encoding cannot hold one of its
// characters (a file must never get question marks instead).
std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding);
