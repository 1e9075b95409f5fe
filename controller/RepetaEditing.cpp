// Correcting the current sentence in its sentence file: moving its boundaries
// to the sentence plot's marks, and splitting it at the selected text. The
// file is rewritten in its own format and encoding.
#include "Repeta.h"

#include "sentences/SentenceEditing.h"

#include "waveform/Ploter.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcEditing, "repeta.editing", QtCriticalMsg)

bool Repeta::markTimes(float* in, float* out)
{
    if (!hasCurrentSentence() || m_sentenceFile.isEmpty())
        return false;
    float inFraction = 0;
    float outFraction = 0;
    if (!m_pcePlot->marks(&inFraction, &outFraction))
        return false;
    const float s = m_sentenceStarts[m_currentSentence];
    float e = sentenceEnd(m_currentSentence);
    if (e == -1.0f)
        e = m_ploter->plotDuration(m_pcePlotId);
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
    if (on || !markTimes(&in, &out))
        return;
    SentenceEdit edit;
    // A first sentence at 0 keeps its start: nothing comes before it.
    if (m_sentenceStarts[m_currentSentence] != 0.0f)
        edit.start = in;
    edit.end = out;
    QString text = m_tabs->sentenceText(m_currentSentence);
    text.chop(2); // the list's line break
    edit.changeText = text != m_sentences[m_currentSentence].text;
    edit.text = text;
    QString error;
    if (!editSentence(m_sentenceFile, m_currentSentence, edit, &error))
        qCWarning(lcEditing) << "sentence not rewritten:" << error;
    reloadAfterRewrite();
}

void Repeta::splitSentence()
{
    if (!m_editing)
        return;
    const QString selection = m_tabs->selectedText();
    float in = 0;
    float out = 0;
    if (!markTimes(&in, &out))
        return;
    QString error;
    if (!::splitSentence(m_sentenceFile, m_currentSentence, in, selection, &error))
        qCWarning(lcEditing) << "sentence not split:" << error;
    reloadAfterRewrite();
}

void Repeta::reloadAfterRewrite()
{
    m_pcePlot->setPixmap(nullptr);
    m_ploter->clearPiecePlots();
    loadSentences(m_ploter->plotDuration(PlotIdentifier{m_materialPath, -1.0f, -1.0f}));
    m_seekTarget->setCurrentSentence(m_currentSentence);
    m_tabs->showSentence(m_currentSentence, -1, -1);
    if (!hasCurrentSentence())
        return;
    m_pcePlotId.start = m_sentenceStarts[m_currentSentence];
    m_pcePlotId.end = sentenceEnd(m_currentSentence);
    m_ploter->doPlot(m_pcePlotId);
    m_pcePlot->setPlotting(true);
}
