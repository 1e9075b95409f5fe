// Correcting the current sentence in the LRC file: moving its boundaries to
// the sentence plot's marks, and splitting it at the selected text.
#include "Repeta.h"

#include "LrcReader.h"
#include "LrcRewrite.h"

#include "waveform/Ploter.h"

namespace {

// The sentence whose span holds the marks: it starts at or before the in-time
// and the next line's tag (or the end of the media) is at or after the out-time.
bool holdsMarks(const LrcLine& line, const LrcLine& next, float in, float out, float duration)
{
    const float t1 = parseLrcTime(lineTag(line.text));
    const float t2 = next.atEnd() ? duration : parseLrcTime(lineTag(next.text));
    return in >= t1 && t2 >= out;
}

} // namespace

bool Repeta::markTimes(float* in, float* out, float* duration)
{
    if (!hasCurrentSentence())
        return false;
    float inFraction = 0;
    float outFraction = 0;
    if (!m_pcePlot->marks(&inFraction, &outFraction))
        return false;
    const float s = m_sentenceStarts[m_currentSentence];
    *duration = m_ploter->plotDuration(m_pcePlotId);
    float e = sentenceEnd(m_currentSentence);
    if (e == -1.0f)
        e = *duration;
    *in = s + (e - s) * inFraction;
    *out = s + (e - s) * outFraction;
    return true;
}

void Repeta::setLrcEditing(bool on)
{
    m_pcePlot->setMarking(on);
    m_editing = on;
    float in = 0;
    float out = 0;
    float duration = 0;
    if (on || !markTimes(&in, &out, &duration))
        return;
    int n = 0;
    rewriteLrc(lrcPathFor(m_materialPath), [&](LrcLine& line, LrcLine& next) {
        if (!isTimeTaggedLine(line.text))
            return;
        if (holdsMarks(line, next, in, out, duration)) {
            const QString tag = line.text.left(line.text.indexOf(QLatin1Char(']')) + 1);
            line.setText(tag + m_tabs->sentenceText(n));
            // A first sentence at 0 keeps its start: nothing comes before it.
            if (parseLrcTime(lineTag(line.text)) != 0.0f)
                line.setText(retaggedLine(line.text, in));
            if (!next.atEnd())
                next.setText(retaggedLine(next.text, out));
        }
        ++n;
    });
    reloadAfterRewrite();
}

void Repeta::splitSentence()
{
    if (!m_editing)
        return;
    const QString selection = m_tabs->selectedText();
    float in = 0;
    float out = 0;
    float duration = 0;
    if (!markTimes(&in, &out, &duration))
        return;
    rewriteLrc(lrcPathFor(m_materialPath), [&](LrcLine& line, LrcLine& next) {
        if (!isTimeTaggedLine(line.text) || !holdsMarks(line, next, in, out, duration))
            return;
        // Searched after the tag, so a selection such as "0" cannot cut the
        // tag itself; nothing selected or not found leaves the line whole.
        const int textStart = line.text.indexOf(QLatin1Char(']')) + 1;
        const int at = selection.isEmpty() ? -1 : line.text.indexOf(selection, textStart);
        if (at < 0)
            return;
        line.setText(line.text.left(at) + QStringLiteral("\r\n") +
                     QStringLiteral("[%1]%2").arg(formatLrcTime(in), line.text.mid(at)));
    });
    reloadAfterRewrite();
}

void Repeta::reloadAfterRewrite()
{
    m_pcePlot->setPixmap(nullptr);
    m_ploter->clearPiecePlots();
    loadLrc(lrcPathFor(m_materialPath));
    m_seekTarget->setCurrentSentence(m_currentSentence);
    m_tabs->showSentence(m_currentSentence, -1, -1);
    if (!hasCurrentSentence())
        return;
    m_pcePlotId.start = m_sentenceStarts[m_currentSentence];
    m_pcePlotId.end = sentenceEnd(m_currentSentence);
    m_ploter->doPlot(m_pcePlotId);
    m_pcePlot->setPlotting(true);
}
