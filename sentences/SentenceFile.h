// Reading a sentence file (LRC, SRT or WebVTT, in any of the encodings that
// learners' files come in) into the sentences of a material.
#pragma once

#include "Sentence.h"

#include <QByteArray>
#include <QString>
#include <QVector>

enum class SentenceFormat { Lrc, Srt, Vtt };
enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Gb18030, Windows1252 };

QString formatName(SentenceFormat format); // "LRC", "SRT", "VTT"
QString encodingName(TextEncoding encoding); // "UTF-8", "UTF-8 BOM", ...

struct SentenceFile {
    QString path;
    SentenceFormat format = SentenceFormat::Lrc;
    TextEncoding encoding = TextEncoding::Utf8;
    QString title; // LRC [ti:], empty otherwise
    QVector<Sentence> sentences; // time order; every end filled except a last one the file does not end (-1)
};

struct SentenceRead {
    bool ok = false;
    QString error; // short English text for the tool and the logs
    SentenceFile file;
};

// The format comes from the extension (.lrc .srt .vtt, any case); the content
// decides when the extension is another or does not match what the file holds.
// A file without a single sentence is an error.
SentenceRead readSentenceFile(const QString& path);
SentenceRead readSentenceBytes(const QByteArray& bytes, SentenceFormat format);

// Gives the last sentence the media's duration as its end when the file leaves
// it open; nothing for a duration that is not a positive number.
void endLastSentenceAt(SentenceFile& file, float mediaDuration);
