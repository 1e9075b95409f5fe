#include "LineEdits.h"

namespace {

// Enough of a refused line to recognise it in a message.
constexpr qsizetype kQuotedChars = 40;

// Puts lines together again. Where a line now ends in a lone "\r" right before
// an empty line that ends in "\n", the two would read as one "\r\n": the
// first then ends in "\r\n" instead.
class LineWriter {
public:
    explicit LineWriter(const TextDocument& doc)
        : m_encoding(doc.encoding)
        , m_return(encodeText(QStringLiteral("\r"), doc.encoding).value_or(QByteArray("\r")))
        , m_lineFeed(encodeText(QStringLiteral("\n"), doc.encoding).value_or(QByteArray("\n")))
        , m_out(doc.bytes.left(doc.bomSize))
    {
        m_out.reserve(doc.bytes.size() + kSlackBytes);
    }

    void content(QByteArrayView bytes)
    {
        if (!bytes.isEmpty())
            m_afterReturn = false;
        m_out += bytes;
    }
    bool text(const QString& text, QString* error)
    {
        const std::optional<QByteArray> encoded = encodeText(text, m_encoding);
        if (!encoded) {
            *error = QStringLiteral("the file's encoding (%1) cannot hold \"%2\"")
                         .arg(encodingName(m_encoding), text.left(kQuotedChars));
            return false;
        }
        content(*encoded);
        return true;
    }
    void end(QByteArrayView terminator)
    {
        if (m_afterReturn && terminator.startsWith(m_lineFeed))
            m_out += m_lineFeed;
        m_out += terminator;
        m_afterReturn = terminator == QByteArrayView(m_return);
    }
    QByteArray bytes() const { return m_out; }

private:
    static constexpr qsizetype kSlackBytes = 1024; // room for what an edit adds
    TextEncoding m_encoding;
    QByteArray m_return;
    QByteArray m_lineFeed;
    QByteArray m_out;
    bool m_afterReturn = false;
};

} // namespace

LineEdits::LineEdits(const TextDocument& doc)
    : m_doc(doc)
{
}

QString LineEdits::text(int line) const
{
    return m_replaced.value(line, m_doc.lines.value(line));
}

void LineEdits::replace(int line, const QString& text)
{
    m_replaced.insert(line, text);
}

void LineEdits::remove(int line)
{
    m_removed.insert(line);
}

void LineEdits::insertAfter(int line, const QString& text)
{
    m_inserted[line].append(text);
}

std::optional<QByteArray> LineEdits::bytes(QString* error) const
{
    const QByteArray& source = m_doc.bytes;
    LineWriter out(m_doc);
    for (int i = 0; i < m_doc.lines.size(); ++i) {
        const LineBytes& span = m_doc.spans[i];
        const QStringList after = m_inserted.value(i);
        // The file's last line may have no terminator; it keeps that, and
        // lines inserted after it pass the lack on to the last of them.
        const bool ended = span.endSize > 0;
        if (!m_removed.contains(i)) {
            const auto replaced = m_replaced.constFind(i);
            if (replaced == m_replaced.cend())
                out.content(QByteArrayView(source).sliced(span.from, span.size));
            else if (!out.text(*replaced, error))
                return std::nullopt;
            if (ended)
                out.end(QByteArrayView(source).sliced(span.from + span.size, span.endSize));
            else if (!after.isEmpty())
                out.end(m_doc.lineEnd);
        }
        for (qsizetype k = 0; k < after.size(); ++k) {
            if (!out.text(after[k], error))
                return std::nullopt;
            if (ended || k + 1 < after.size())
                out.end(m_doc.lineEnd);
        }
    }
    return out.bytes();
}
