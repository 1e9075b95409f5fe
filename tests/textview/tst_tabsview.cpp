// The text views as the main window assembles them: page look-up by object
// name, the list's block arithmetic, selection, sentence texts, the karaoke
// page driven through the interface, the list's look, and blind listening.
#include "TestEnvironment.h"
#include "TextPixels.h"
#include "textview/KaraView.h"
#include "textview/LrcLstView.h"
#include "textview/TabsView.h"
#include "widgets/ChromeTabs.h"
#include "widgets/RepetaScrollBar.h"

#include "SentenceList.h"

#include <QAbstractTextDocumentLayout>
#include <QGridLayout>
#include <QScrollBar>
#include <QTextBlock>

namespace {
const QVector<Sentence> kSentences = sentencesFrom({
    QStringLiteral("Good morning.\r\n"),
    QStringLiteral("How are you?\n"),
    QStringLiteral("Fine, thanks."), // the last line of a file may have no line break
});

// The pages the main window gives the text views.
struct TextViews {
    TabsView tabs;
    KaraView* kara = new KaraView;
    LrcLstView* list = new LrcLstView;

    TextViews()
    {
        auto* page0 = new QWidget;
        page0->setObjectName(QStringLiteral("page0"));
        auto* grid = new QGridLayout(page0);
        kara->setObjectName(QStringLiteral("karaLrc"));
        grid->addWidget(kara);
        auto* page1 = new QWidget;
        page1->setObjectName(QStringLiteral("page1"));
        auto* grid2 = new QGridLayout(page1);
        list->setObjectName(QStringLiteral("lstLrc"));
        grid2->addWidget(list);
        auto* page2 = new QWidget;
        page2->setObjectName(QStringLiteral("glVideo"));
        tabs.setTabPosition(QTabWidget::South);
        tabs.addTab(page0, QString());
        tabs.addTab(page1, QString());
        tabs.addTab(page2, QString());
    }

    QTextDocument* document() const { return list->document(); }
    QString block(int n) const { return document()->findBlockByNumber(n).text(); }
    int blockStart(int n) const { return document()->findBlockByNumber(n).position(); }
    QTextCursor cursor() const { return list->textCursor(); }
};

QImage shot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The rows of list block n in the viewport, across its width.
QRect blockRows(const TextViews& views, int n)
{
    const QRectF box = views.document()->documentLayout()->blockBoundingRect(views.document()->findBlockByNumber(n));
    const int scrolled = views.list->verticalScrollBar()->value();
    return QRect(0, int(box.top()) - scrolled, views.list->viewport()->width(), int(box.height()));
}

bool inkedOnWhite(const QColor& c)
{
    return c != QColor(Qt::white);
}
} // namespace

class TabsViewTest : public QObject {
    Q_OBJECT

private slots:
    void sentencesOccupyTwoBlocksEach()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setSentences(kSentences);
        QCOMPARE(views.document()->blockCount(), 1 + 2 * 3);
        QCOMPARE(views.block(0), QStringLiteral(" "));
        QCOMPARE(views.block(1), QStringLiteral("Good morning."));
        QCOMPARE(views.block(2), QString());
        QCOMPARE(views.block(3), QStringLiteral("How are you?"));
        QCOMPARE(views.block(5), QStringLiteral("Fine, thanks."));

        views.tabs.setSentences({});
        QCOMPARE(views.document()->blockCount(), 1);
        QCOMPARE(views.list->toPlainText(), QStringLiteral(" "));
    }

    // A translation fills the line under its sentence; the switch hides and
    // shows them all without moving a sentence or changing what it gives back.
    void translationsSitUnderTheirSentences()
    {
        TextViews views;
        views.tabs.show();
        QVector<Sentence> sentences = kSentences;
        sentences[0].translation = QString::fromUtf8("早上好。");
        sentences[2].translation = QString::fromUtf8("很好，谢谢。");
        views.tabs.setSentences(sentences);
        for (bool shown : {true, false, true}) {
            views.tabs.setTranslationsVisible(shown);
            QCOMPARE(views.block(1), QStringLiteral("Good morning."));
            QCOMPARE(views.block(2), shown ? QString::fromUtf8("早上好。") : QString());
            QCOMPARE(views.block(4), QString());
            QCOMPARE(views.block(6), shown ? QString::fromUtf8("很好，谢谢。") : QString());
            views.tabs.showSentence(2, -1, -1);
            QCOMPARE(views.cursor().selectedText(), QStringLiteral("Fine, thanks.") + QChar(QChar::ParagraphSeparator));
            QCOMPARE(views.tabs.sentenceText(0), QStringLiteral("Good morning.\r\n"));
            QCOMPARE(views.kara->showsTranslation(), shown);
        }
    }

    void sentenceTextsStayPlainAndInTheirBlocks()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setSentences(sentencesFrom({QStringLiteral("<b>Bold</b> & <i>not</i>\n"), QStringLiteral("one\rtwo\n"),
                                               QString::fromUtf8("三\u2029四\n"), QStringLiteral("last\n")}));
        QCOMPARE(views.block(1), QStringLiteral("<b>Bold</b> & <i>not</i>"));
        QCOMPARE(views.block(3), QStringLiteral("one two"));
        QCOMPARE(views.block(5), QString::fromUtf8("三 四"));
        QCOMPARE(views.block(7), QStringLiteral("last"));
    }

    void showSentenceSelectsItsBlockAndShowsItAlone()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setSentences(kSentences);
        views.tabs.showSentence(0, -1, -1);
        QCOMPARE(views.cursor().selectionStart(), views.blockStart(1));
        QCOMPARE(views.cursor().selectionEnd(), views.blockStart(2));
        QCOMPARE(views.tabs.selectedText(), QStringLiteral("Good morning.") + QChar(QChar::ParagraphSeparator));
        QVERIFY(!views.kara->hasNeighbours());
        QVERIFY(!views.kara->lines().isEmpty());

        const QImage image = shot(*views.kara);
        QCOMPARE(countInk(image, QRect(0, 0, 640, 80)).inked(), 0);
        QVERIFY(countInk(image, QRect(0, 80, 640, 80)).unspoken > 100);
        QCOMPARE(countInk(image, QRect(0, 160, 640, 80)).inked(), 0);

        views.tabs.setKaraokeProgress(1.0f);
        const InkCount ink = countInk(shot(*views.kara), QRect(0, 80, 640, 80));
        QVERIFY(ink.spoken > 100);
        QCOMPARE(ink.unspoken, 0);

        views.tabs.showSentence(2, 0, 1);
        QCOMPARE(views.cursor().selectionStart(), views.blockStart(5));
        QCOMPARE(views.cursor().selectionEnd(), views.blockStart(6));
        QVERIFY(views.kara->hasNeighbours());
    }

    void showSentenceOutOfRangeChangesNothing()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setSentences(kSentences);
        views.tabs.showSentence(1, -1, -1);
        const QImage before = shot(*views.kara);
        const QTextCursor selection = views.cursor();
        for (int index : {3, 100, -1}) {
            views.tabs.showSentence(index, 0, 1);
            QCOMPARE(views.cursor(), selection);
            QCOMPARE(shot(*views.kara), before);
        }
    }

    void sentenceTextEndsInCarriageReturnLineFeed()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setSentences(kSentences);
        views.tabs.showSentence(0, -1, -1);
        const QTextCursor selection = views.cursor();
        QCOMPARE(views.tabs.sentenceText(1), QStringLiteral("How are you?\r\n"));
        QCOMPARE(views.tabs.sentenceText(0), QStringLiteral("Good morning.\r\n"));
        QCOMPARE(views.tabs.sentenceText(2), QStringLiteral("Fine, thanks.\r\n"));
        QCOMPARE(views.cursor(), selection);
        QCOMPARE(views.tabs.sentenceText(3), QString());

        // An edit in the list is what the sentence text then holds.
        QTextCursor edit(views.document()->findBlockByNumber(3));
        edit.insertText(QStringLiteral("Hi! "));
        QCOMPARE(views.tabs.sentenceText(1), QStringLiteral("Hi! How are you?\r\n"));
    }

    void pagesFoundLateStillShowTheSentences()
    {
        TextViews views;
        views.tabs.setSentences(kSentences);
        views.tabs.showSentence(1, -1, -1);
        QCOMPARE(views.tabs.selectedText(), QString()); // nothing found yet
        QVERIFY(views.kara->lines().isEmpty());
        // Without the list the stored text still answers, normalised.
        QCOMPARE(views.tabs.sentenceText(0), QStringLiteral("Good morning.\r\n"));

        views.tabs.show();
        QCOMPARE(views.block(3), QStringLiteral("How are you?"));
        QCOMPARE(views.cursor().selectionStart(), views.blockStart(3));
        QVERIFY(!views.kara->lines().isEmpty());
    }

    void pagesAreEnabledAndShownByIndex()
    {
        TextViews views;
        views.tabs.show();
        views.tabs.setTabEnabled(1, false);
        QVERIFY(!views.tabs.isTabEnabled(1));
        views.tabs.setCurrentIndex(2);
        QCOMPARE(views.tabs.currentIndex(), 2);
        const QRect dot = views.tabs.chromeTabs()->dotRect(0);
        views.tabs.setTabOffset(QPoint(-17, 0));
        QCOMPARE(views.tabs.chromeTabs()->dotRect(0), dot.translated(-17, 0));
    }

    void backgroundIsBlackAroundTheDots()
    {
        TabsView tabs;
        tabs.addTab(new QWidget, QString());
        tabs.addTab(new QWidget, QString());
        tabs.setTabPosition(QTabWidget::South);
        tabs.resize(666, 270);
        tabs.show();
        const QImage image = shot(tabs);
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::black));
        QCOMPARE(image.pixelColor(660, 260), QColor(Qt::black));
        QCOMPARE(image.pixelColor(333, 120), QColor(Qt::black));
        ChromeTabs* bar = tabs.chromeTabs();
        QCOMPARE(bar->dotRect(0).left(), 286 + 5);
        const QRect dot = bar->dotRect(0).translated(bar->pos());
        bool lit = false;
        for (int x = dot.left(); x <= dot.right(); ++x)
            lit = lit || image.pixelColor(x, dot.center().y()).blue() > 150;
        QVERIFY(lit); // the current page's dot
    }

    void listIsAReadOnlyListWithTheDrawnScrollBar()
    {
        LrcLstView list;
        QVERIFY(qobject_cast<RepetaScrollBar*>(list.verticalScrollBar()));
        QCOMPARE(list.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list.viewport()->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(!list.document()->isUndoRedoEnabled());
        QVERIFY(list.isReadOnly());
        QCOMPARE(list.font().pointSize(), 12);
        QVERIFY(list.font().bold());
        QCOMPARE(list.palette().color(QPalette::Disabled, QPalette::Text), QColor(118, 116, 108));
    }

    // Blind, every sentence and translation is a row of solid bars in both
    // pages, the current one still marked; revealing shows the current one
    // as it is without blindness until another becomes current; an editable
    // list shows its text, which blindness never changes.
    void blindListeningHidesAllButARevealedSentence()
    {
        QVector<Sentence> sentences = sentencesFrom({QStringLiteral("Good morning, everyone."),
                                                     QStringLiteral("Today we talk about the weather in spring."),
                                                     QStringLiteral("It rains a lot."), QStringLiteral("See you.")});
        sentences[1].translation = QString::fromUtf8("今天我们谈谈春天的天气。");
        sentences[2].translation = QString::fromUtf8("经常下雨。");
        TextViews views;
        views.tabs.resize(666, 280);
        views.tabs.setCurrentIndex(1);
        views.tabs.show();
        views.tabs.setSentences(sentences);
        views.tabs.showSentence(1, 0, 2);
        QVERIFY(!views.list->hasFocus());
        const QImage seeingKara = shot(*views.kara);
        const QImage seeingList = shot(*views.list->viewport());
        const QString text = views.list->toPlainText();
        const QRect middle(0, 80, 640, 80);
        const QRect current = blockRows(views, 3).united(blockRows(views, 4));
        const auto listBlue = [](const QColor& c) { return c == QColor(17, 113, 163); };
        // Every block with text but the current sentence's two, on white.
        const auto othersAreBars = [&](const QImage& list) {
            bool bars = blockRows(views, 8).bottom() < list.height();
            for (int n : {1, 5, 6, 7})
                bars = bars && coreShare(list, blockRows(views, n), inkedOnWhite) > 0.6;
            return bars;
        };
        QVERIFY(!othersAreBars(seeingList));

        views.tabs.setBlind(true);
        QImage list = shot(*views.list->viewport());
        QVERIFY(othersAreBars(list));
        QVERIFY(coreShare(list, blockRows(views, 4), inkedOnWhite) > 0.6);
        QVERIFY(coreShare(seeingList, current, listBlue) < 0.3);
        QVERIFY(coreShare(list, current, listBlue) > 0.6); // the list's blue on the selection's
        QCOMPARE(list.pixelColor(10, blockRows(views, 3).top() + 1), QColor(203, 234, 249));
        QVERIFY(coreShare(seeingKara, middle, karaokeInk) < 0.3);
        for (const QRect& third : {QRect(0, 0, 640, 80), middle, QRect(0, 160, 640, 80)})
            QVERIFY(coreShare(shot(*views.kara), third, karaokeInk) > 0.6);

        views.tabs.revealCurrent();
        const QImage kara = shot(*views.kara);
        list = shot(*views.list->viewport());
        QCOMPARE(kara.copy(middle), seeingKara.copy(middle));
        QVERIFY(coreShare(kara, QRect(0, 0, 640, 80), karaokeInk) > 0.6);
        QCOMPARE(list.copy(current), seeingList.copy(current));
        QVERIFY(othersAreBars(list));
        for (int next : {2, 1}) {
            views.tabs.showSentence(next, next - 1, next + 1);
            QVERIFY(coreShare(shot(*views.kara), middle, karaokeInk) > 0.6);
        }
        QVERIFY(coreShare(shot(*views.list->viewport()), current, listBlue) > 0.6);

        // What the learner types while blind is what the list gives back.
        views.list->setTextInteractionFlags(Qt::TextEditorInteraction);
        QCOMPARE(shot(*views.list->viewport()), seeingList);
        QTextCursor edit(views.document()->findBlockByNumber(5));
        edit.insertText(QStringLiteral("Oh, "));
        views.list->setTextInteractionFlags(Qt::NoTextInteraction);
        QVERIFY(othersAreBars(shot(*views.list->viewport())));
        QCOMPARE(views.tabs.sentenceText(2), QStringLiteral("Oh, It rains a lot.\r\n"));
        edit.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        views.tabs.setBlind(false);
        QCOMPARE(views.list->toPlainText(), text);
        QCOMPARE(shot(*views.kara), seeingKara);
        QCOMPARE(shot(*views.list->viewport()), seeingList);

        views.tabs.setBlind(true);
        views.tabs.setSentences(sentences);
        views.tabs.showSentence(1, 0, 2);
        QVERIFY(views.tabs.isBlind());
        QVERIFY(othersAreBars(shot(*views.list->viewport())));
    }

    // The selection marks the current sentence: dark blue with white text
    // while the list has the focus, light blue with blue text otherwise. (A
    // disabled text edit draws no selection, whatever its palette says.)
    void selectionColoursFollowTheFocus_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QColor>("highlight");
        QTest::addColumn<QColor>("text");
        QTest::newRow("focused") << QStringLiteral("focused") << QColor(49, 106, 197) << QColor(Qt::white);
        QTest::newRow("not focused") << QStringLiteral("not focused") << QColor(203, 234, 249) << QColor(17, 113, 163);
    }

    void selectionColoursFollowTheFocus()
    {
        QFETCH(QString, state);
        QFETCH(QColor, highlight);
        QFETCH(QColor, text);
        TextViews views;
        views.tabs.resize(666, 280);
        views.tabs.setCurrentIndex(1);
        views.tabs.show();
        views.tabs.setSentences(kSentences);
        views.tabs.showSentence(0, -1, -1);
        if (state == QLatin1String("focused")) {
            views.tabs.activateWindow();
            views.list->setFocus();
            QVERIFY(QTest::qWaitForWindowActive(&views.tabs));
            QVERIFY(views.list->hasFocus());
        }
        const QImage image = shot(*views.list->viewport());
        const int y = views.list->cursorRect(views.cursor()).center().y();
        int highlighted = 0;
        int lettered = 0;
        for (int x = 2; x < 200; ++x) {
            highlighted += image.pixelColor(x, y) == highlight ? 1 : 0;
            lettered += image.pixelColor(x, y) == text ? 1 : 0;
        }
        QVERIFY2(highlighted > 20, qPrintable(QString::number(highlighted)));
        QVERIFY2(lettered > 0, qPrintable(QString::number(lettered)));
    }
};

REPETA_TEST_MAIN(TabsViewTest)
#include "tst_tabsview.moc"
