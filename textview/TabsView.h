// The sentence text views: a tab widget whose pages (built by the main window)
// hold the karaoke view "karaLrc", the sentence list "lstLrc", the video and
// the comparison of a take with the model "compareView".
// The controller drives it through vTabsWidget. In the list, block 0 is a
// leading space line, sentence n is block 2n + 1 and its translation (or an
// empty line) block 2n + 2.
#pragma once

#include "controller/Contracts.h"

#include <QPointer>
#include <QTabWidget>

class ChromeTabs;
class CompareView;
class KaraView;
class LrcLstView;

class TabsView : public QTabWidget, public vTabsWidget {
    Q_OBJECT
public:
    explicit TabsView(QWidget* parent = nullptr);

    void setTabEnabled(int index, bool on) override;
    void setCurrentIndex(int index) override;
    void showSentence(int current, int above, int below) override;
    void setKaraokeProgress(float fraction) override;
    void setSentences(const QVector<Sentence>& sentences) override;
    QString selectedText() override;
    QString sentenceText(int n) override;
    void showComparison(const Comparison& result, const Sentence& sentence) override;
    void showComparisonPage() override;

    // Shifts the tab pictures (the main window's text-tab offset) and repaints them.
    void setTabOffset(const QPoint& offset);
    ChromeTabs* chromeTabs() const { return m_tabs; }

    // Shows or hides the translations in the karaoke view and the list.
    void setTranslationsVisible(bool on);
    bool translationsVisible() const { return m_translationsVisible; }

    // Blind listening: both pages show bars in place of the words of every
    // sentence and translation. New sentences keep it on.
    void setBlind(bool on);
    bool isBlind() const { return m_blind; }
    // Shows the current sentence and its translation until another sentence
    // becomes current, new sentences come or blind listening ends.
    void revealCurrent();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void findPages();
    void fillList();
    bool selectInList(int sentence);
    bool isSentence(int index) const;
    void showBlindness();

    QVector<Sentence> m_sentences;
    bool m_translationsVisible = true;
    bool m_blind = false;
    int m_revealed = -1; // the sentence shown while blind, or -1
    QPointer<KaraView> m_kara;
    QPointer<LrcLstView> m_list;
    QPointer<CompareView> m_compare;
    // The last comparison, replayed when the page is found late.
    Comparison m_comparison;
    Sentence m_compared;
    ChromeTabs* m_tabs;
    // The last sentence shown, replayed when the pages are found late.
    int m_shown[3] = {-1, -1, -1};
};
